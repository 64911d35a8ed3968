// The gallery's window: one tab page per component.
#pragma once

#include <QTabWidget>

class GalleryWindow : public QTabWidget {
    Q_OBJECT

public:
    explicit GalleryWindow(QWidget* parent = nullptr);
};
