#include "FolderDropDownPage.h"

#include "ExPathText.h"
#include "FolderDropDown.h"
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

FolderDropDownPage::FolderDropDownPage(QWidget* parent) : QWidget(parent)
{
    auto* columns = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    columns->addLayout(left, 3);

    // The drop-down builds its entries once it is placed on the page.
    m_dropDown = new TFolderDropDown;
    m_dropDown->SetParent(this);
    m_dropDown->setMinimumWidth(320);
    left->addWidget(m_dropDown);
    m_dropDown->OnChange = [this](TObject*) { dropDownChanged(); };

    auto* settings = new QFormLayout;
    left->addLayout(settings);
    m_folderName = new QLabel(this);
    m_folderName->setTextInteractionFlags(Qt::TextSelectableByMouse);
    settings->addRow(tr("現在のフォルダー (FolderName):"), m_folderName);

    auto* pathRow = new QHBoxLayout;
    m_path = new QLineEdit(this);
    auto* go = new QPushButton(tr("設定"), this);
    pathRow->addWidget(m_path);
    pathRow->addWidget(go);
    settings->addRow(tr("フォルダー:"), pathRow);
    auto setPath = [this] { m_dropDown->setFolderName(m_path->text().toStdString()); };
    connect(go, &QPushButton::clicked, this, setPath);
    connect(m_path, &QLineEdit::returnPressed, this, setPath);

    auto* up = new QPushButton(tr("親フォルダーへ (SelectParent)"), this);
    settings->addRow(QString(), up);
    connect(up, &QPushButton::clicked, this, [this] { m_dropDown->SelectParent(); });

    auto* onlyFileSystem = new QCheckBox(tr("ファイル システムのみ (OnlyFileSystem)"), this);
    onlyFileSystem->setChecked(m_dropDown->OnlyFileSystem());
    settings->addRow(QString(), onlyFileSystem);
    connect(onlyFileSystem, &QCheckBox::toggled, this, [this](bool on) {
        m_dropDown->SetOnlyFileSystem(on);
        m_dropDown->setFolderName(m_dropDown->FolderName());
    });

    auto* showHidden = new QComboBox(this);
    showHidden->addItems({tr("エクスプローラーに従う"), tr("表示しない"), tr("表示する")});
    settings->addRow(tr("隠しフォルダー (ShowHidden):"), showHidden);
    connect(showHidden, &QComboBox::activated, this, [this](int value) {
        m_dropDown->SetShowHidden(value);
        m_dropDown->setFolderName(m_dropDown->FolderName());
    });

    left->addWidget(new QLabel(tr("イベント:"), this));
    m_events = new QPlainTextEdit(this);
    m_events->setReadOnly(true);
    left->addWidget(m_events, 1);

    m_tree = new TFolderTreeView;
    m_tree->SetParent(this);
    columns->addWidget(m_tree, 2);
    m_tree->OnChange = [this](TObject*, TTreeNode*) { treeChanged(); };

    m_folderName->setText(PathToQString(m_dropDown->FolderName()));
    m_following = true;
    m_tree->setFolderName(m_dropDown->FolderName());
    m_following = false;
}

FolderDropDownPage::~FolderDropDownPage()
{
    // The handlers point at this page.
    m_dropDown->OnChange = nullptr;
    m_tree->OnChange = nullptr;
}

void FolderDropDownPage::showFolder(const QString& source, const std::string& path)
{
    m_folderName->setText(PathToQString(m_dropDown->FolderName()));
    m_events->appendPlainText(QStringLiteral("%1 OnChange: %2").arg(source, PathToQString(path)));
}

void FolderDropDownPage::dropDownChanged()
{
    showFolder(QStringLiteral("TFolderDropDown"), m_dropDown->FolderName());
    if (m_following)
        return;
    m_following = true;
    m_tree->setFolderName(m_dropDown->FolderName());
    m_following = false;
}

void FolderDropDownPage::treeChanged()
{
    if (m_following)
        return;
    m_events->appendPlainText(QStringLiteral("TFolderTreeView OnChange: %1").arg(PathToQString(m_tree->FolderName())));
    if (m_tree->FolderName().empty())
        return;
    m_following = true;
    m_dropDown->setFolderName(m_tree->FolderName());
    m_following = false;
}
