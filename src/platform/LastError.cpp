#include "LastError.h"

#include "Paths.h"

#include <cerrno>
#include <sys/stat.h>

namespace {

thread_local DWORD t_lastError = ERROR_SUCCESS;

}  // namespace

DWORD GetLastError()
{
    return t_lastError;
}

void SetLastError(DWORD error)
{
    t_lastError = error;
}

BOOL FailWith(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

BOOL FailWithErrno(int err, const std::string& path)
{
    return FailWith(ErrorFromErrno(err, path));
}

DWORD ErrorFromErrno(int err)
{
    switch (err) {
    case 0:
        return ERROR_SUCCESS;
    case ENOENT:
        return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
        return ERROR_ACCESS_DENIED;
    case EXDEV:
        return ERROR_NOT_SAME_DEVICE;
    case EEXIST:
    case ENOTEMPTY:
        return ERROR_ALREADY_EXISTS;
    case ENOSPC:
    case EDQUOT:
        return ERROR_DISK_FULL;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    case ENAMETOOLONG:
        return ERROR_FILENAME_EXCED_RANGE;
    default:
        return ERROR_GEN_FAILURE;
    }
}

DWORD ErrorFromErrno(int err, const std::string& path)
{
    if (err == ENOENT) {
        struct stat st;
        const std::string folder = ParentFolder(path);
        if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            return ERROR_PATH_NOT_FOUND;
    }
    return ErrorFromErrno(err);
}
