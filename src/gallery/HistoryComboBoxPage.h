// The gallery page of the history combo box: the control with its store
// names and save mode, the explicit load and save operations, and a log of
// what it reported.
#pragma once

#include <QWidget>

#include <functional>

class QPlainTextEdit;
class THistoryComboBox;

class HistoryComboBoxPage : public QWidget {
    Q_OBJECT

public:
    explicit HistoryComboBoxPage(QWidget* parent = nullptr);
    ~HistoryComboBoxPage() override;

private:
    void addText();
    // Runs one of the control's operations; an error is shown and logged.
    void run(const QString& what, const std::function<void()>& operation);
    void log(const QString& line);

    THistoryComboBox* m_history = nullptr;
    QPlainTextEdit* m_events = nullptr;
};
