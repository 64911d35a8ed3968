#include "HistoryComboBoxPage.h"

#include "ExPathText.h"
#include "HistoryComboBox.h"
#include "Keys.h"
#include "SafeCall.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

HistoryComboBoxPage::HistoryComboBoxPage(QWidget* parent) : QWidget(parent)
{
    auto* page = new QVBoxLayout(this);

    // Made as a form makes it: the properties assigned while it loads, so the
    // history is read when loading ends.
    m_history = new THistoryComboBox;
    m_history->SetName("HistoryComboBox1");
    m_history->BeginLoading();
    m_history->SetSaveKeyName("Software\\Pictal\\Gallery");
    m_history->SetSaveMode(hsAuto);
    SafeCall([this] { m_history->EndLoading(); });
    m_history->SetParent(this);
    m_history->setMinimumWidth(320);

    auto* entry = new QHBoxLayout;
    page->addLayout(entry);
    entry->addWidget(m_history, 1);
    auto* add = new QPushButton(tr("履歴に追加 (AddText)"), this);
    entry->addWidget(add);
    connect(add, &QPushButton::clicked, this, [this] { addText(); });
    m_history->OnKeyDown = [this](TObject*, WORD_KEY& key, TShiftState) {
        if (key == VK_RETURN)
            addText();
    };
    m_history->OnChange = [this](TObject*) { log(QStringLiteral("OnChange: %1").arg(PathToQString(m_history->Text()))); };

    auto* settings = new QFormLayout;
    page->addLayout(settings);
    auto* mode = new QComboBox(this);
    mode->addItems({tr("自動で読み込みと保存 (hsAuto)"), tr("手動 (hsManual)"), tr("自動で保存のみ (hsAutoSave)"),
                    tr("自動で読み込みのみ (hsAutoLoad)")});
    mode->setCurrentIndex(m_history->SaveMode());
    settings->addRow(tr("SaveMode:"), mode);
    connect(mode, &QComboBox::activated, this,
            [this](int value) { m_history->SetSaveMode(static_cast<THistoryMode>(value)); });

    const auto nameRow = [&](const QString& label, const std::string& value,
                             std::function<void(const std::string&)> apply) {
        auto* edit = new QLineEdit(PathToQString(value), this);
        settings->addRow(label, edit);
        connect(edit, &QLineEdit::editingFinished, this,
                [edit, apply] { apply(edit->text().toUtf8().toStdString()); });
    };
    nameRow(tr("SaveKeyName:"), m_history->SaveKeyName(),
            [this](const std::string& value) { m_history->SetSaveKeyName(value); });
    nameRow(tr("SaveFileName:"), m_history->SaveFileName(),
            [this](const std::string& value) { m_history->SetSaveFileName(value); });
    nameRow(tr("SaveSectionName:"), m_history->SaveSectionName(),
            [this](const std::string& value) { m_history->SetSaveSectionName(value); });

    auto* operations = new QGridLayout;
    page->addLayout(operations);
    const auto button = [&](const QString& caption, int row, int column, std::function<void()> operation) {
        auto* b = new QPushButton(caption, this);
        operations->addWidget(b, row, column);
        connect(b, &QPushButton::clicked, this, [this, caption, operation] { run(caption, operation); });
    };
    button(tr("ファイルへ保存 (SaveToFile)"), 0, 0, [this] {
        if (!m_history->SaveToFile())
            log(tr("SaveFileName が空です"));
    });
    button(tr("ファイルから読み込み (LoadFromFile)"), 0, 1, [this] {
        if (!m_history->LoadFromFile())
            log(tr("SaveFileName が空です"));
    });
    button(tr("レジストリへ保存 (SaveToRegistry)"), 1, 0, [this] {
        if (!m_history->SaveToRegistry())
            log(tr("SaveKeyName が空です"));
    });
    button(tr("レジストリから読み込み (LoadFromRegistry)"), 1, 1, [this] {
        if (!m_history->LoadFromRegistry())
            log(tr("SaveKeyName が空です"));
    });
    button(tr("履歴を消去"), 2, 0, [this] { m_history->Items().Clear(); });

    page->addWidget(new QLabel(tr("イベント:"), this));
    m_events = new QPlainTextEdit(this);
    m_events->setReadOnly(true);
    page->addWidget(m_events, 1);
    log(tr("%1 件の履歴を読み込みました").arg(m_history->Items().Count()));
}

HistoryComboBoxPage::~HistoryComboBoxPage()
{
    // The handlers point at this page; the control saves its history when
    // it goes with the page.
    m_history->OnKeyDown = nullptr;
    m_history->OnChange = nullptr;
}

void HistoryComboBoxPage::addText()
{
    const bool added = m_history->AddText();
    log(QStringLiteral("AddText: %1").arg(added ? QStringLiteral("true") : QStringLiteral("false")));
}

void HistoryComboBoxPage::run(const QString& what, const std::function<void()>& operation)
{
    log(what);
    if (!SafeCall(operation))
        log(tr("失敗しました"));
}

void HistoryComboBoxPage::log(const QString& line)
{
    m_events->appendPlainText(line);
}
