// The gallery page of the image unit's drawing utilities: rubber-band shapes
// dragged over a picture at a chosen scale, marching dashes around the last
// box, and the colour and font dialogs.
#pragma once

#include "CommonDialogs.h"

#include <QImage>
#include <QTimer>
#include <QWidget>

#include <string>

class QComboBox;
class QLabel;
class QPushButton;

class DrawingUtilitiesPage : public QWidget {
    Q_OBJECT

public:
    explicit DrawingUtilitiesPage(QWidget* parent = nullptr);
    ~DrawingUtilitiesPage() override;

private:
    class View;

    void openPicture();
    void chooseColour(COLORREF& colour, QPushButton* button);
    void chooseFont();

    View* m_view = nullptr;
    QComboBox* m_shape = nullptr;
    QComboBox* m_scale = nullptr;
    QLabel* m_position = nullptr;
    QLabel* m_fontSample = nullptr;
    bool m_libraryLoaded = false;
    LOGFONTA m_font;
    std::string m_faceName = "DejaVu Sans";
    int m_fontHeight = -16;
    bool m_bold = false, m_italic = false, m_underline = false, m_strikeOut = false;
};
