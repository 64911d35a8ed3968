#include "FileListPage.h"

#include "ExPathText.h"
#include "FileListView.h"
#include "FolderFileToolBar.h"
#include "FolderTreeView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

FileListPage::FileListPage(QWidget* parent) : QWidget(parent)
{
    auto* columns = new QHBoxLayout(this);

    // The tree builds its nodes once it is placed on the page.
    m_tree = new TFolderTreeView;
    m_tree->SetParent(this);
    columns->addWidget(m_tree, 2);

    auto* right = new QVBoxLayout;
    columns->addLayout(right, 3);
    m_toolBar = new TFolderFileToolBar;
    m_toolBar->SetParent(this);
    m_toolBar->setFixedSize(m_toolBar->Width(), m_toolBar->Height());
    right->addWidget(m_toolBar);
    m_list = new TFileListView;
    m_list->SetParent(this);
    m_list->SetMultiSelect(true);
    right->addWidget(m_list, 2);

    m_tree->SetFileListControl(m_list);
    m_toolBar->SetFolderControl(m_tree);
    m_toolBar->SetFileListControl(m_list);

    auto* settings = new QFormLayout;
    right->addLayout(settings);
    m_fileName = new QLabel(this);
    m_fileName->setTextInteractionFlags(Qt::TextSelectableByMouse);
    settings->addRow(tr("FileName:"), m_fileName);
    m_selected = new QLabel(this);
    settings->addRow(tr("SelectedFiles:"), m_selected);

    auto* pathRow = new QHBoxLayout;
    auto* path = new QLineEdit(this);
    auto* go = new QPushButton(tr("設定"), this);
    pathRow->addWidget(path);
    pathRow->addWidget(go);
    settings->addRow(tr("ファイル名 (FileName):"), pathRow);
    auto setPath = [this, path] { m_list->setFileName(path->text().toStdString()); };
    connect(go, &QPushButton::clicked, this, setPath);
    connect(path, &QLineEdit::returnPressed, this, setPath);

    auto* filter = new QLineEdit(this);
    filter->setPlaceholderText(QStringLiteral("*.jpg;*.png"));
    settings->addRow(tr("フィルター (Filter):"), filter);
    connect(filter, &QLineEdit::editingFinished, this, [this, filter] { m_list->setFilter(filter->text().toStdString()); });

    auto* includeFolder = new QCheckBox(tr("フォルダーも表示 (IncludeFolder)"), this);
    includeFolder->setChecked(m_list->IncludeFolder());
    settings->addRow(QString(), includeFolder);
    connect(includeFolder, &QCheckBox::toggled, this, [this](bool on) {
        m_list->SetIncludeFolder(on);
        m_list->setFilter(m_list->Filter());  // lists the folder again
    });

    auto* showHidden = new QComboBox(this);
    showHidden->addItems({tr("エクスプローラーに従う"), tr("表示しない"), tr("表示する")});
    settings->addRow(tr("隠しファイル (ShowHidden):"), showHidden);
    connect(showHidden, &QComboBox::activated, this, [this](int value) {
        m_list->SetShowHidden(value);
        m_list->setFilter(m_list->Filter());
    });

    auto* linkRow = new QHBoxLayout;
    auto* linkFolder = new QCheckBox(tr("ツールバーにツリーをつなぐ (FolderControl)"), this);
    linkFolder->setChecked(true);
    linkRow->addWidget(linkFolder);
    auto* linkList = new QCheckBox(tr("ツールバーに一覧をつなぐ (FileListControl)"), this);
    linkList->setChecked(true);
    linkRow->addWidget(linkList);
    settings->addRow(QString(), linkRow);
    connect(linkFolder, &QCheckBox::toggled, this,
            [this](bool on) { m_toolBar->SetFolderControl(on ? m_tree : nullptr); });
    connect(linkList, &QCheckBox::toggled, this,
            [this](bool on) { m_toolBar->SetFileListControl(on ? m_list : nullptr); });

    right->addWidget(new QLabel(tr("イベント:"), this));
    m_events = new QPlainTextEdit(this);
    m_events->setReadOnly(true);
    right->addWidget(m_events, 1);

    m_list->OnChange = [this](TObject*, TListItem*, TItemChange) { listChanged(); };
    m_list->OnDblClick = [this](TObject*) { log(QStringLiteral("TFileListView OnDblClick")); };
    m_toolBar->OnClick = [this](TObject*, TFflToolBarButton button) {
        log(QStringLiteral("TFolderFileToolBar OnClick: %1").arg(button));
    };
    m_toolBar->OnViewStyle = [this](TObject*, TViewStyle style) {
        log(QStringLiteral("TFolderFileToolBar OnViewStyle: %1").arg(style));
    };
    m_tree->OnChange = [this](TObject*, TTreeNode*) {
        log(QStringLiteral("TFolderTreeView OnChange: %1").arg(PathToQString(m_tree->FolderName())));
    };
}

FileListPage::~FileListPage()
{
    // The handlers point at this page.
    m_list->OnChange = nullptr;
    m_list->OnDblClick = nullptr;
    m_toolBar->OnClick = nullptr;
    m_toolBar->OnViewStyle = nullptr;
    m_tree->OnChange = nullptr;
}

void FileListPage::log(const QString& line)
{
    m_events->appendPlainText(line);
}

void FileListPage::listChanged()
{
    m_fileName->setText(PathToQString(m_list->FileName()));
    m_selected->setText(QString::number(m_list->SelectedFiles().size()));
    log(QStringLiteral("TFileListView OnChange: %1").arg(PathToQString(m_list->FileName())));
}
