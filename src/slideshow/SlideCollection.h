// The slide viewer's list of images: collected from the image files of a
// folder (validated by the image library, optionally sorted) or read from a
// slide list file, with a cursor over it. Needs no window.
//
// The image library is reached through the procedure variables of Vxdllprocs
// (loaded by InitializeVX); an operation whose entry points are missing fails
// quietly.
//
// Collecting the folder of the previous collection again, with the same
// settings and a sorted order, redoes only the files the kernel reports
// changed since (a file moved away, say), with the same result as collecting
// the whole folder; whenever that cannot be sure (an incomplete report, many
// changes, items that sort level, several folders, no order or the access
// time as key, symbolic links in the folder), the whole folder is collected.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

// Where the list comes from.
enum TVxSlideFileReadWay : std::uint8_t {
    vxSlidefile,         // a slide list file, one path a line
    vxFolder,            // a folder, one item per file
    vxFolderMultiImage,  // a folder, one item per page of each file
};

// The sort key (see SortProc).
enum TVxSort : std::uint8_t {
    vxSortNone,
    vxSortFileName,
    vxSortDate,
    vxSortFileExtName,
    vxSortFileExtDate,
    vxSortDirFileName,
    vxSortDirDate,
    vxSortDirFileExtName,
    vxSortDirFileExtDate,
};

enum TVxSortOrder : std::uint8_t {
    vxSortOrderInc,
    vxSortOrderDec,
};

// Which file time the date key of an item holds.
enum TVxSortDate : std::uint8_t {
    vxSortDateCreationTime,
    vxSortDateLastWriteTime,
    vxSortDateLastAccessTime,
};

// One item of the list. The texts are zero-filled blocks from calloc owned by
// the list; the sort moves whole records with memcpy.
struct TVXSORTDATA {
    char* folder;       // folder of the file as collected
    char* fileName;     // name without folder
    char dateKey[16];   // "YYYYMMDDhhmmsst" (UTC), string order = time order; "" when unknown
    std::int16_t page;  // page (frame) inside the file, 0 for the first
};
static_assert(std::is_trivially_copyable_v<TVXSORTDATA>);

class TVxSlideCollection {
public:
    TVxSlideCollection();
    ~TVxSlideCollection();
    TVxSlideCollection(const TVxSlideCollection&) = delete;
    TVxSlideCollection& operator=(const TVxSlideCollection&) = delete;

    // ---- properties
    TVxSlideFileReadWay FileReadWay() const { return m_fileReadWay; }
    void SetFileReadWay(TVxSlideFileReadWay value) { m_fileReadWay = value; }
    // The folder to collect from, or several (as the library's GetPathDir
    // reads them). The setter drops one trailing "/" (the root stays "/").
    const std::string& FilePath() const { return m_filePath; }
    void SetFilePath(const std::string& value);
    // Extensions without dot, separated by ";".
    const std::string& FileExt() const { return m_fileExt; }
    void SetFileExt(const std::string& value) { m_fileExt = value; }
    const std::string& SlideFileName() const { return m_slideFileName; }
    void SetSlideFileName(const std::string& value) { m_slideFileName = value; }
    TVxSort Sort() const { return m_sort; }
    void SetSort(TVxSort value) { m_sort = value; }
    TVxSortOrder SortOrder() const { return m_sortOrder; }
    void SetSortOrder(TVxSortOrder value) { m_sortOrder = value; }
    TVxSortDate SortDate() const { return m_sortDate; }
    void SetSortDate(TVxSortDate value) { m_sortDate = value; }
    // The cursor: index of the current item. Negative values are stored as 0.
    int CurrentImage() const { return m_currentImage; }
    void SetCurrentImage(int value) { m_currentImage = value < 0 ? 0 : value; }
    // The cursor wraps around instead of stopping at the ends.
    bool Endless() const { return m_endless; }
    void SetEndless(bool value) { m_endless = value; }

    // Result of the last slide list read: 0 success, 5 no file name, 6 drive
    // unusable or file not readable, 16 file missing.
    std::int16_t ErrorCode() const { return m_errorCode; }

    // ---- building the list (any previous list is released first; on
    // failure nothing stays allocated)
    // Every readable image file (or page) of the folders of FilePath whose
    // extension is in FileExt, sorted by Sort and SortOrder. False when
    // nothing was collected.
    bool GetFromFolder();
    // The files named in SlideFileName, in the file's order, at most 5000.
    bool GetFromSlideFile();
    // Counting pass over the folders of FilePath and the first extCount
    // extensions of the table; allocates the array. Its capacity, 0 on failure.
    int GetPathFilesCount(int extCount);
    // Collecting pass over one search pattern of folder; appends items up to
    // the capacity.
    void GetPathFilesSub(const std::string& folder, const std::string& pattern);
    // Compares two TVXSORTDATA by the key that g_Sort names, in the direction
    // of g_SortOrder (Vxutils); negative, 0 or positive.
    static int SortProc(const void* a, const void* b);

    // ---- the cursor. Each move sets the current path; with an empty list
    // the moves clear it and return false.
    // Brings the cursor back into the list: wraps with Endless, else stops at
    // the first or last item.
    void GetNextImage();
    bool GetNextPathName(bool advance);
    bool GetPrevPathName();
    bool GetTopPathName();
    bool GetEndPathName();

    // Releases the texts of all counted items and the array; count 0.
    void FreeThumbDataMemory();

    // ---- the list
    int Count() const { return m_count; }
    int Capacity() const { return m_capacity; }
    // Item i, or nullptr outside 0..Count()-1.
    const TVXSORTDATA* Item(int i) const;
    // Folder of the current item, "/", file name (the name alone when the
    // item has no folder).
    const std::string& CurrentPath() const { return m_currentPath; }

protected:
    void SetErrorCode(std::int16_t value) { m_errorCode = value; }

private:
    struct FolderSnapshot;
    // The collection from the previous one and the changes; false when the
    // folder must be collected whole.
    bool collectChanges(const std::string& folder);
    void keepSnapshot(const std::string& folder, bool untied);
    // Sorts the items in SortProc's order; false when some sort level (QSort
    // then placed them, as it always did).
    bool sortItems();
    bool sameSettings(const FolderSnapshot& snapshot, const std::string& folder) const;
    // Whether the order can be kept up to date by changes alone.
    bool changesKeepOrder() const;
    void prepareSort() const;

    bool allocate(int capacity);
    bool append(const char* folder, const char* fileName, std::int16_t page, const char* dateKey);
    bool readSlideFile(int fd);
    void addSlideEntry(const std::string& entry);
    bool setPathFromItem();

    TVxSlideFileReadWay m_fileReadWay = vxSlidefile;
    std::string m_filePath;
    std::string m_fileExt = "BMP;JPG;TIF;PCX;FPX;PNG;GIF;JP2;JPC;J2K;WMF;EMF;DXF;SVG;P21;SFC";
    std::string m_slideFileName;
    TVxSort m_sort = vxSortNone;
    TVxSortOrder m_sortOrder = vxSortOrderInc;
    TVxSortDate m_sortDate = vxSortDateLastWriteTime;
    int m_currentImage = 0;
    bool m_endless = false;
    std::int16_t m_errorCode = 0;

    TVXSORTDATA* m_items = nullptr;
    int m_capacity = 0;
    int m_count = 0;
    std::string m_currentPath;
    std::vector<char> m_fileExtArray;  // the parsed FileExt: kVxExtSlots slots of kVxExtSlotSize bytes
    int m_fileExtCount = 0;
    std::unique_ptr<FolderSnapshot> m_snapshot;  // the last collection of one folder, and its changes since
    bool m_linked = false;                      // the last collection met a symbolic link
};
