// Writes TitleBanner.bmp: the main window's vertical title banner, 48 x 473
// pixels in 16 colours: "Pictal" and a short phrase in brush lettering, black
// on red, written top to bottom.
//
// Build and run (once, by hand; the result is kept in resources/):
//   g++ -std=c++20 -fPIC make-title-banner.cpp $(pkg-config --cflags --libs Qt6Gui) -o make-title-banner
//   QT_QPA_PLATFORM=offscreen ./make-title-banner TitleBanner.bmp
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    QImage image(48, 473, QImage::Format_RGB32);
    image.fill(QColor(255, 0, 0));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setPen(Qt::black);

    // The name, turned to read downwards.
    QFont name("AoyagiKouzanFontT");
    name.setPixelSize(40);
    name.setBold(true);
    name.setStyleStrategy(QFont::NoAntialias);
    painter.save();
    painter.translate(44, 6);
    painter.rotate(90);
    painter.setFont(name);
    painter.drawText(QRect(0, 0, 200, 42), Qt::AlignLeft | Qt::AlignVCenter, "Pictal");
    painter.restore();

    // The phrase, one character below another.
    QFont phrase("AoyagiKouzanFontT");
    phrase.setPixelSize(30);
    phrase.setStyleStrategy(QFont::NoAntialias);
    painter.setFont(phrase);
    const QString text = QString::fromUtf8("一目で振り分け");
    int top = 200;
    for (const QChar c : text) {
        painter.drawText(QRect(6, top, 36, 36), Qt::AlignCenter, QString(c));
        top += 38;
    }
    painter.end();

    // Sixteen colours, as the stored layout's picture has.
    const QImage indexed = image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
    QImage sixteen = indexed;
    if (sixteen.colorCount() > 16)
        sixteen = image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    return sixteen.save(argc > 1 ? argv[1] : "TitleBanner.bmp", "BMP") ? 0 : 1;
}
