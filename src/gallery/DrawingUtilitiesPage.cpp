#include "DrawingUtilitiesPage.h"

#include "UniqueDC.h"
#include "Vxinit.h"
#include "Vxutils.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadialGradient>
#include <QVBoxLayout>

#include <functional>

namespace {

enum Shape { shapeLine, shapeRectangle, shapeEllipse, shapeRoundRect, shapePolygon, shapeBezier };

// A picture to draw over until one is opened.
QImage samplePicture()
{
    QImage image(360, 260, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, 260);
    sky.setColorAt(0, QColor(40, 90, 170));
    sky.setColorAt(0.6, QColor(230, 180, 120));
    sky.setColorAt(1, QColor(60, 110, 50));
    painter.fillRect(image.rect(), sky);
    QRadialGradient sun(250, 90, 45);
    sun.setColorAt(0, QColor(255, 250, 200));
    sun.setColorAt(1, QColor(240, 140, 60, 0));
    painter.setBrush(sun);
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPoint(250, 90), 45, 45);
    painter.setBrush(QColor(30, 60, 40));
    painter.drawPolygon(QPolygon({QPoint(0, 200), QPoint(90, 120), QPoint(170, 210), QPoint(260, 150),
                                  QPoint(360, 220), QPoint(360, 260), QPoint(0, 260)}));
    return image;
}

RECT toRECT(const QRect& r)
{
    return RECT{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
}

}  // namespace

// The picture at a scale, with the rubber band dragged over it in image
// coordinates and marching dashes around the last box.
class DrawingUtilitiesPage::View : public QWidget {
public:
    explicit View(QWidget* parent) : QWidget(parent)
    {
        setMouseTracking(true);
        setMinimumSize(200, 150);
        m_timer.setInterval(120);
        connect(&m_timer, &QTimer::timeout, this, [this] { marchDashes(); });
    }

    std::function<void(int, int)> OnPosition;  // image coordinates under the mouse
    Shape shape = shapeRectangle;
    COLORREF dashA = 0x000000;
    COLORREF dashB = 0xFFFFFF;

    void setPicture(const QImage& picture)
    {
        m_picture = picture.convertToFormat(QImage::Format_RGB32);
        m_box = QRect();
        render();
    }

    void setScale(double scale)
    {
        m_scale = scale;
        m_box = QRect();
        render();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), palette().window());
        painter.drawImage(0, 0, m_surface);
    }

    void resizeEvent(QResizeEvent*) override { render(); }

    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() != Qt::LeftButton || !screenRect().contains(event->position().toPoint()))
            return;
        m_box = QRect();
        render();
        m_start = m_end = toImage(event->position().toPoint());
        m_dragging = true;
        drawBand();
    }

    void mouseMoveEvent(QMouseEvent* event) override
    {
        const QPoint image = toImage(event->position().toPoint());
        if (OnPosition)
            OnPosition(image.x(), image.y());
        if (!m_dragging || image == m_end)
            return;
        drawBand();  // off
        m_end = image;
        drawBand();  // on
    }

    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() != Qt::LeftButton || !m_dragging)
            return;
        drawBand();  // off: the picture is as it was
        m_dragging = false;
        m_box = QRect(m_start, m_end).normalized();
        if (m_box.width() > 1 && m_box.height() > 1)
            m_timer.start();
        else
            m_box = QRect();
    }

private:
    QRect screenRect() const
    {
        return QRect(0, 0, int(m_picture.width() * m_scale), int(m_picture.height() * m_scale)) & rect();
    }

    QPoint toImage(const QPoint& p) const
    {
        return QPoint(ConvToImgX(p.x(), 0, 0, m_scale), ConvToImgY(p.y(), 0, 0, m_scale));
    }

    // The scaled picture on a surface of the view's size.
    void render()
    {
        m_timer.stop();
        m_surface = QImage(size(), QImage::Format_RGB32);
        m_surface.fill(palette().window().color());
        QPainter painter(&m_surface);
        painter.drawImage(QRect(0, 0, int(m_picture.width() * m_scale), int(m_picture.height() * m_scale)),
                          m_picture);
        painter.end();
        if (!m_box.isNull())
            m_timer.start();
        // A drag under way keeps its band on the new surface, so that its
        // next drawing still takes it off.
        if (m_dragging)
            drawBand();
        update();
    }

    // Draws the rubber band of the current drag; a second call takes it off.
    void drawBand()
    {
        UniqueDC dc(CreateImageDC(&m_surface));
        const RECT image = toRECT(m_picture.rect());
        const RECT screen = toRECT(screenRect());
        const int x1 = m_start.x(), y1 = m_start.y(), x2 = m_end.x(), y2 = m_end.y();
        switch (shape) {
        case shapeLine: _LineNOTXOR(dc.get(), x1, y1, x2, y2, image, m_scale, m_scale, screen, false); break;
        case shapeRectangle:
            _RectangleNOTXOR(dc.get(), x1, y1, x2, y2, image, m_scale, m_scale, screen, false);
            break;
        case shapeEllipse: _EllipseNOTXOR(dc.get(), x1, y1, x2, y2, image, m_scale, m_scale, screen, false); break;
        case shapeRoundRect:
            _RoundRectNOTXOR(dc.get(), x1, y1, x2, y2, image, m_scale, m_scale, screen, false);
            break;
        case shapePolygon: {
            // A five-pointed star in the dragged box.
            const POINT star[5] = {{(x1 + x2) / 2, y1}, {x1 + (x2 - x1) / 5, y2}, {x2, y1 + (y2 - y1) * 2 / 5},
                                   {x1, y1 + (y2 - y1) * 2 / 5}, {x2 - (x2 - x1) / 5, y2}};
            _PolygonNOTXOR(dc.get(), star, 5, image, m_scale, m_scale, screen, false);
            break;
        }
        case shapeBezier: {
            const POINT curve[4] = {{x1, y1}, {x2, y1}, {x1, y2}, {x2, y2}};
            _BezierNOTXOR(dc.get(), curve, image, m_scale, m_scale, screen);
            break;
        }
        }
        update();
    }

    void marchDashes()
    {
        if (m_box.isNull())
            return;
        UniqueDC dc(CreateImageDC(&m_surface));
        _BlinkBox(dc.get(), ConvToScrnX(m_box.left(), 0, 0, m_scale), ConvToScrnY(m_box.top(), 0, 0, m_scale),
                  ConvToScrnX(m_box.right(), 0, 0, m_scale), ConvToScrnY(m_box.bottom(), 0, 0, m_scale), dashA,
                  dashB);
        update();
    }

    QImage m_picture;
    QImage m_surface;
    double m_scale = 1.0;
    QPoint m_start, m_end;
    bool m_dragging = false;
    QRect m_box;  // image coordinates of the last box, null when none
    QTimer m_timer;
};

DrawingUtilitiesPage::DrawingUtilitiesPage(QWidget* parent) : QWidget(parent)
{
    // The dashes are drawn through the image library.
    m_libraryLoaded = InitializeVX(kVxUserFirst);

    auto* columns = new QHBoxLayout(this);
    m_view = new View(this);
    columns->addWidget(m_view, 3);

    auto* side = new QVBoxLayout;
    columns->addLayout(side, 1);
    auto* form = new QFormLayout;
    side->addLayout(form);

    m_shape = new QComboBox(this);
    m_shape->addItems({tr("直線"), tr("四角形"), tr("楕円"), tr("角丸四角形"), tr("多角形"), tr("ベジェ曲線")});
    m_shape->setCurrentIndex(shapeRectangle);
    form->addRow(tr("図形:"), m_shape);
    connect(m_shape, &QComboBox::activated, this, [this](int index) { m_view->shape = Shape(index); });

    m_scale = new QComboBox(this);
    for (double scale : {0.5, 1.0, 1.5, 2.0, 3.0})
        m_scale->addItem(QStringLiteral("%1 %").arg(scale * 100), scale);
    m_scale->setCurrentIndex(1);
    form->addRow(tr("表示倍率:"), m_scale);
    connect(m_scale, &QComboBox::activated, this, [this](int) { m_view->setScale(m_scale->currentData().toDouble()); });

    m_position = new QLabel(this);
    form->addRow(tr("画像座標:"), m_position);
    m_view->OnPosition = [this](int x, int y) { m_position->setText(QStringLiteral("%1, %2").arg(x).arg(y)); };

    auto* colourA = new QPushButton(tr("点線の色 1..."), this);
    auto* colourB = new QPushButton(tr("点線の色 2..."), this);
    side->addWidget(colourA);
    side->addWidget(colourB);
    connect(colourA, &QPushButton::clicked, this, [this, colourA] { chooseColour(m_view->dashA, colourA); });
    connect(colourB, &QPushButton::clicked, this, [this, colourB] { chooseColour(m_view->dashB, colourB); });

    auto* font = new QPushButton(tr("フォント..."), this);
    side->addWidget(font);
    connect(font, &QPushButton::clicked, this, &DrawingUtilitiesPage::chooseFont);
    m_fontSample = new QLabel(tr("文字の見本 Abc"), this);
    m_fontSample->setMinimumHeight(40);
    side->addWidget(m_fontSample);

    auto* open = new QPushButton(tr("画像を開く..."), this);
    side->addWidget(open);
    connect(open, &QPushButton::clicked, this, &DrawingUtilitiesPage::openPicture);

    auto* hint = new QLabel(tr("画像の上をドラッグすると図形を描きます。離すと四角形の点線が動き続けます。"), this);
    hint->setWordWrap(true);
    side->addWidget(hint);
    if (!m_libraryLoaded)
        side->addWidget(new QLabel(tr("画像ライブラリがないため点線は描かれません。"), this));
    side->addStretch(1);

    m_view->setPicture(samplePicture());
}

DrawingUtilitiesPage::~DrawingUtilitiesPage()
{
    // The view's timer draws through the library: it goes first.
    delete m_view;
    if (m_libraryLoaded)
        TerminateVX(kVxUserFirst);
}

void DrawingUtilitiesPage::openPicture()
{
    const QString path = QFileDialog::getOpenFileName(this, tr("画像を開く"));
    if (path.isEmpty())
        return;
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QImage picture = reader.read();
    if (!picture.isNull())
        m_view->setPicture(picture);
}

void DrawingUtilitiesPage::chooseColour(COLORREF& colour, QPushButton* button)
{
    if (!ChooseNewColor(window(), colour))
        return;
    QPixmap swatch(16, 16);
    swatch.fill(QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF)));
    button->setIcon(QIcon(swatch));
}

void DrawingUtilitiesPage::chooseFont()
{
    if (!SetFontParam(window(), m_font, m_faceName, m_fontHeight, m_bold, m_italic, m_underline, m_strikeOut))
        return;
    m_fontSample->setFont(LogFontToQFont(m_font));
}
