// The gallery page of the shine speed button: a group of three with a plain
// speed button of the same group, a single button, and controls for their
// looks and behaviour.
#pragma once

#include <QWidget>

#include <vector>

class QPlainTextEdit;
class TBitmap;
class TShineSpeedButton;
class TSpeedButton;

class ShineSpeedButtonPage : public QWidget {
    Q_OBJECT

public:
    explicit ShineSpeedButtonPage(QWidget* parent = nullptr);
    ~ShineSpeedButtonPage() override;

private:
    template <typename F>
    void forEachButton(F&& change);
    void log(const QString& text);

    std::vector<TShineSpeedButton*> m_buttons;
    TSpeedButton* m_plain = nullptr;
    QPlainTextEdit* m_events = nullptr;
};
