#include "FileListBox.h"

#include "Cursors.h"
#include "Exception.h"
#include "FindFile.h"
#include "Paths.h"
#include "SafeCall.h"
#include "SysUtils.h"
#include "TextCompare.h"
#include "Translation.h"

#include <QIcon>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QStyledItemDelegate>

#include <algorithm>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Entry height of the list: a fixed number of pixels per entry.
class FixedHeightDelegate : public QStyledItemDelegate {
public:
    FixedHeightDelegate(const int* height, QObject* parent) : QStyledItemDelegate(parent), m_height(height) {}
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width(), *m_height);
    }

private:
    const int* m_height;
};

// Restores the screen's cursor when a reading ends, however it ends.
class BusyCursorScope {
public:
    ~BusyCursorScope()
    {
        if (m_shown)
            Screen()->SetCursor(m_previous);
    }
    bool shown() const { return m_shown; }
    void show()
    {
        if (m_shown)
            return;
        m_previous = Screen()->Cursor();
        Screen()->SetCursor(crHourGlass);
        m_shown = true;
    }

private:
    bool m_shown = false;
    TCursor m_previous = crDefault;
};

std::vector<std::string> splitMask(const std::string& mask)
{
    std::vector<std::string> patterns;
    std::size_t start = 0;
    while (start <= mask.size()) {
        const std::size_t end = std::min(mask.find(';', start), mask.size());
        if (end > start) {
            std::string pattern = mask.substr(start, end - start);
            patterns.push_back(pattern == "*.*" ? "*" : pattern);  // "*.*" matches names without a dot too
        }
        start = end + 1;
    }
    return patterns;
}

// Whether FileType admits an entry with these attributes: folders, hidden,
// system entries only when asked for; other files when ftNormal is asked for,
// or when one of their attributes is.
bool admitted(TFileType type, DWORD attributes)
{
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !type.Contains(ftDirectory))
        return false;
    if ((attributes & FILE_ATTRIBUTE_HIDDEN) && !type.Contains(ftHidden))
        return false;
    if ((attributes & FILE_ATTRIBUTE_SYSTEM) && !type.Contains(ftSystem))
        return false;
    if (type.Contains(ftNormal))
        return true;
    return ((attributes & FILE_ATTRIBUTE_READONLY) && type.Contains(ftReadOnly)) ||
           ((attributes & FILE_ATTRIBUTE_ARCHIVE) && type.Contains(ftArchive)) ||
           ((attributes & FILE_ATTRIBUTE_HIDDEN) && type.Contains(ftHidden)) ||
           ((attributes & FILE_ATTRIBUTE_SYSTEM) && type.Contains(ftSystem)) ||
           ((attributes & FILE_ATTRIBUTE_DIRECTORY) && type.Contains(ftDirectory));
}

// The sort key shared with the slide viewer's name order.
std::string sortKey(const std::string& name)
{
    return name + "0000";
}

// More changed names than this are read with the whole folder.
constexpr std::size_t kMostNamesRedone = 64;

std::vector<std::u32string> foldedPatterns(const std::string& mask)
{
    std::vector<std::u32string> folded;
    for (const std::string& p : splitMask(mask))
        folded.push_back(FoldName(p));
    return folded;
}

// An entry's text: a folder's name in brackets.
std::string entryText(const WIN32_FIND_DATAA& entry)
{
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? "[" + entry.cFileName + "]" : entry.cFileName;
}

QIcon entryGlyph(QStyle* style)
{
    return QIcon::fromTheme("text-x-generic", style->standardIcon(QStyle::SP_FileIcon));
}

}  // namespace

TFileListBox::TFileListBox(TComponent* owner, QWidget* parent) : TWidgetControl<QListWidget>(owner, parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setIconSize(QSize(16, 16));
    setItemDelegate(new FixedHeightDelegate(&FItemHeight, this));
    FDirectory = WorkingFolder();
    readFolder();
}

void TFileListBox::SetDirectory(const std::string& folder)
{
    if (folder.empty())
        return;
    struct stat st;
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || ::access(folder.c_str(), X_OK) != 0)
        throw Exception(Substitute(Translate("TFileListBox", "%1 を開けません"), {folder}));
    // A relative path is made absolute first: reading changes the working
    // folder, which it would then be taken from.
    const std::string absolute = folder.front() == '/' ? folder : ExpandFileName(folder);
    // Two folders whose names differ only in letter case are different folders.
    if (absolute == FDirectory)
        return;
    FDirectory = absolute;
    readFolder();
}

void TFileListBox::SetMask(const std::string& mask)
{
    if (mask == FMask)
        return;
    FMask = mask;
    readFolder();
}

void TFileListBox::SetFileType(TFileType fileType)
{
    if (fileType == FFileType)
        return;
    FFileType = fileType;
    readFolder();
}

void TFileListBox::SetFilter(TFileFilter filter)
{
    FFilter = std::move(filter);
    readFolder();
}

void TFileListBox::Update()
{
    if (!readChanges())
        readFolder();
}

std::size_t TFileListBox::listedTimes(const WIN32_FIND_DATAA& entry, const std::vector<std::u32string>& patterns) const
{
    if (entry.cFileName == "." || entry.cFileName == "..")
        return 0;
    if (!admitted(FFileType, entry.dwFileAttributes))
        return 0;
    // The mask first: the filter may be costly (it may read the file), and is
    // asked only about names the mask lets through.
    const std::u32string name = FoldName(entry.cFileName);
    std::size_t first = 0;
    while (first < patterns.size() && !MatchesFolded(name, patterns[first]))
        ++first;
    if (first == patterns.size())
        return 0;
    if (FFilter && !FFilter(FDirectory, entry))
        return 0;
    std::size_t times = 1;
    for (std::size_t i = first + 1; i < patterns.size(); ++i)
        if (MatchesFolded(name, patterns[i]))
            ++times;
    return times;
}

void TFileListBox::readFolder()
{
    // The working folder follows the list, as the program's file dialogs expect.
    if (!FDirectory.empty() && ::chdir(FDirectory.c_str()) != 0) {
        // A folder that has gone since it was chosen lists nothing.
    }
    // What changes from here on, the next Update redoes.
    if (FDirectory.empty())
        FChanges.Stop();
    else
        FChanges.Watch(FDirectory);

    BusyCursorScope busy;
    bool linked = false;
    // The entries in the order they are found, each with its prepared key;
    // sorted stably at the end, which puts them where inserting each at its
    // sorted place (after its equals) would.
    std::vector<TSortText> found;
    // The 101 smallest keys so far, to tell when an entry lands at position 100.
    std::vector<TSortText> smallest;
    const std::vector<std::u32string> patterns = foldedPatterns(FMask);

    WIN32_FIND_DATAA entry;
    HANDLE search = FDirectory.empty() ? INVALID_HANDLE_VALUE : FindFirstFileA(FDirectory + "/*", &entry);
    const std::unique_ptr<HANDLE__, BOOL (*)(HANDLE)> closeSearch(search == INVALID_HANDLE_VALUE ? nullptr : search, FindClose);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            // A link's target can change without the folder hearing of it.
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
                linked = true;
            const std::size_t times = listedTimes(entry, patterns);
            for (std::size_t i = 0; i < times; ++i) {
                found.emplace_back(sortKey(entryText(entry)));
                if (!busy.shown()) {
                    // The place of the entry among those before it: after
                    // exactly 100 of them when the 100th smallest sorts at or
                    // before it and the 101st (if any) after it.
                    const TSortText& key = found.back();
                    const auto at = std::upper_bound(smallest.begin(), smallest.end(), key,
                                                     [](const TSortText& a, const TSortText& b) { return a.Compare(b) < 0; });
                    if (at - smallest.begin() == 100)
                        busy.show();
                    smallest.insert(at, key);
                    if (smallest.size() > 101)
                        smallest.pop_back();
                }
            }
        } while (FindNextFileA(search, &entry));
    }
    std::stable_sort(found.begin(), found.end(), [](const TSortText& a, const TSortText& b) { return a.Compare(b) < 0; });
    std::vector<std::string> names;
    names.reserve(found.size());
    for (const TSortText& key : found)
        names.push_back(key.Text().substr(0, key.Text().size() - 4));  // without the key's "0000"

    FLinked = linked;
    setUpdatesEnabled(false);
    clear();
    FNames = std::move(names);
    const QIcon glyph = entryGlyph(style());
    for (const std::string& name : FNames)
        addItem(new QListWidgetItem(glyph, QString::fromStdString(name)));
    afterReading();
    setUpdatesEnabled(true);
}

bool TFileListBox::readChanges()
{
    // Folders are listed as "[name]", which a file may be called too; links
    // change with their targets, which the folder does not hear of.
    if (FDirectory.empty() || FLinked || FFileType.Contains(ftDirectory))
        return false;
    const TFolderChanges::Report report = FChanges.Take();
    if (!report.Complete || report.Names.size() > kMostNamesRedone || ::chdir(FDirectory.c_str()) != 0)
        return false;
    const std::vector<std::u32string> patterns = foldedPatterns(FMask);

    // The edits are made on a copy and replayed on the rows only when every
    // changed name could be redone.
    struct Edit {
        int row;
        std::string text;  // empty: the row goes
    };
    std::vector<Edit> edits;
    std::vector<std::string> names = FNames;
    for (const std::string& name : report.Names) {
        const std::string asFolder = "[" + name + "]";
        for (std::size_t i = names.size(); i-- > 0;) {
            if (names[i] == name || names[i] == asFolder) {
                names.erase(names.begin() + std::ptrdiff_t(i));
                edits.push_back({int(i), {}});
            }
        }
        WIN32_FIND_DATAA entry;
        if (!DescribeEntry(FDirectory, name, &entry))
            continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
            return false;
        const std::size_t times = listedTimes(entry, patterns);
        if (times == 0)
            continue;
        const std::string text = entryText(entry);
        const std::string key = sortKey(text);
        auto at = std::upper_bound(names.begin(), names.end(), key, [](const std::string& k, const std::string& n) {
            return lstrcmpiA(k, sortKey(n)) < 0;
        });
        // Names that sort level stand in the folder's own order in a whole
        // reading, which only that reading knows.
        if (at != names.begin() && lstrcmpiA(sortKey(*(at - 1)), key) == 0)
            return false;
        for (std::size_t i = 0; i < times; ++i) {
            edits.push_back({int(at - names.begin()), text});
            at = names.insert(at, text);
        }
    }

    setUpdatesEnabled(false);
    const QIcon glyph = entryGlyph(style());
    for (const Edit& edit : edits) {
        if (edit.text.empty())
            delete takeItem(edit.row);
        else
            insertItem(edit.row, new QListWidgetItem(glyph, QString::fromStdString(edit.text)));
    }
    FNames = std::move(names);
    afterReading();
    setUpdatesEnabled(true);
    return true;
}

void TFileListBox::afterReading()
{
    // Nothing is selected after a reading.
    setCurrentRow(-1);
    clearSelection();
    FSearchText.clear();
}

void TFileListBox::checkIndex(int index) const
{
    if (index < 0 || index >= Count())
        throw ListIndexError(index);
}

const std::string& TFileListBox::Item(int index) const
{
    checkIndex(index);
    return FNames[std::size_t(index)];
}

int TFileListBox::ItemIndex() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void TFileListBox::SetItemIndex(int index)
{
    if (index == -1) {
        setCurrentRow(-1);
        clearSelection();
        return;
    }
    checkIndex(index);
    setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    scrollToItem(item(index));
}

std::string TFileListBox::FileName() const
{
    const int i = ItemIndex();
    if (i < 0)
        return {};
    return JoinPath(FDirectory, FNames[std::size_t(i)]);
}

void TFileListBox::SetItemHeight(int height)
{
    if (height <= 0 || height == FItemHeight)
        return;
    FItemHeight = height;
    doItemsLayout();
}

// Type-ahead: typed characters build a search text (emptied first after a
// pause of 500 ms or more); Backspace takes one character off. An empty text
// selects entry 0; otherwise the first entry beginning with the text, letter
// case ignored. A selection made so counts as a click.
void TFileListBox::typeAhead(const QString& typed, bool backspace)
{
    if (backspace) {
        if (!FSearchText.isEmpty()) {
            FSearchText.chop(FSearchText.size() >= 2 && FSearchText.back().isLowSurrogate() ? 2 : 1);
        }
    } else {
        if (!FLastTyped.isValid() || FLastTyped.elapsed() > 499)
            FSearchText.clear();
        FLastTyped.start();
        FSearchText += typed;
    }
    int found = -1;
    if (FSearchText.isEmpty()) {
        found = Count() > 0 ? 0 : -1;
    } else {
        for (int i = 0; i < Count(); ++i)
            if (QString::fromStdString(FNames[std::size_t(i)]).startsWith(FSearchText, Qt::CaseInsensitive)) {
                found = i;
                break;
            }
    }
    if (found < 0)
        return;
    SetItemIndex(found);
    Click();
}

void TFileListBox::keyPressEvent(QKeyEvent* e)
{
    if (KeyTaken(e))
        return;
    bool handled = false;
    SafeCall([&] {
        const bool command = e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
        if (!command && e->key() == Qt::Key_Backspace) {
            typeAhead({}, true);
            handled = true;
        } else if (!command && !e->text().isEmpty() && e->text().at(0).isPrint()) {
            typeAhead(e->text(), false);
            handled = true;
        }
    });
    if (handled) {
        e->accept();
        return;
    }
    const int before = ItemIndex();
    QListWidget::keyPressEvent(e);
    e->accept();  // a key the list leaves alone does not travel on to its parent
    if (ItemIndex() != before)
        SafeCall([&] { Click(); });
}

void TFileListBox::mousePressEvent(QMouseEvent* e)
{
    QListWidget::mousePressEvent(e);
    // A press that picks an entry is the list's click.
    if (e->button() == Qt::LeftButton && itemAt(e->position().toPoint()))
        SafeCall([&] { Click(); });
    RaiseMouseDown(*e);
}

void TFileListBox::mouseDoubleClickEvent(QMouseEvent* e)
{
    QListWidget::mouseDoubleClickEvent(e);
    RaiseDblClick(*e);
}
