#include "core/dataFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "core/options.h"

#ifndef VUMTAL_DATA_FROM_BINDIR
#define VUMTAL_DATA_FROM_BINDIR "../share/games/vumtal"
#endif

DataFolders dataFolders;

namespace {

bool isFile(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string inFolder(const std::string& dir, const std::string& name) { return dir.empty() ? name : dir + "/" + name; }

// Empty when dir is a folder that can be listed, else why not.
std::string unreadable(const std::string& dir)
{
    DIR* listing = opendir(dir.c_str());
    if (!listing) return errno == ENOTDIR ? "not a folder" : std::strerror(errno);
    closedir(listing);
    return "";
}

bool sameFolder(const std::string& a, const std::string& b)
{
    struct stat first, second;
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

const char* kindOf(mode_t mode)
{
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a plain file";
}

// Their files say they are regular but are made up as they are read: sizes of
// 0 or 4096 whatever they hold, reads that fail or never end.
bool onKernelFileSystem(const struct statfs& where)
{
    switch (static_cast<unsigned long>(where.f_type)) {
    case PROC_SUPER_MAGIC: case SYSFS_MAGIC: case DEBUGFS_MAGIC: case TRACEFS_MAGIC: case SECURITYFS_MAGIC:
    case CGROUP_SUPER_MAGIC: case CGROUP2_SUPER_MAGIC: case EFIVARFS_MAGIC: case BPF_FS_MAGIC:
        return true;
    default:
        return false;
    }
}

std::string inBytes(std::uintmax_t bytes)
{
    if (bytes >= (1u << 20) && bytes % (1u << 20) == 0) return std::to_string(bytes >> 20) + " MB";
    if (bytes >= 1024 && bytes % 1024 == 0) return std::to_string(bytes >> 10) + " KB";
    return std::to_string(bytes) + " bytes";
}

std::string problemOf(const struct stat& info, const struct statfs& where, std::uintmax_t cap)
{
    if (!S_ISREG(info.st_mode)) return std::string("not a regular file (") + kindOf(info.st_mode) + ")";
    if (onKernelFileSystem(where)) return "not a regular file (a kernel file such as /proc's)";
    if (std::uintmax_t(info.st_size) > cap) return "larger than the " + inBytes(cap) + " a file of its kind may be";
    return "";
}

std::string systemReason(const char* what) { return std::string(what) + " (" + std::strerror(errno) + ")"; }

class OpenFile {
public:
    explicit OpenFile(const std::string& path)
        : fd(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)) {}
    ~OpenFile() { if (fd >= 0) close(fd); }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    const int fd;
};

// Up to cap + 1 bytes, so that a file that grew past its cap since it was looked at is seen to.
std::string readAll(int fd, std::uintmax_t cap, std::string& bytes)
{
    bytes.clear();
    char chunk[65536];
    for (;;) {
        const ssize_t got = read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return systemReason("cannot be read");
        if (got == 0) return "";
        bytes.append(chunk, size_t(got));
        if (bytes.size() > cap) return "larger than the " + inBytes(cap) + " a file of its kind may be";
    }
}

std::string executableFolder()
{
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return "";
    const std::string exe(path, size_t(length));
    const size_t slash = exe.rfind('/');
    return slash == std::string::npos ? "" : exe.substr(0, slash);
}

}  // namespace

std::string dataFile(const std::string& name)
{
    for (auto mod = dataFolders.mods.rbegin(); mod != dataFolders.mods.rend(); ++mod) {
        const std::string path = inFolder(*mod, name);
        if (isFile(path)) return path;
    }
    return inFolder(dataFolders.data, name);
}

std::string dataFileProblem(const std::string& path, std::uintmax_t cap)
{
    struct stat info;
    struct statfs where;
    if (stat(path.c_str(), &info) != 0 || statfs(path.c_str(), &where) != 0) return systemReason("cannot be opened");
    return problemOf(info, where, cap);
}

bool dataFileExists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

bool readDataFile(const std::string& path, std::uintmax_t cap, std::string& bytes, std::string& error)
{
    bytes.clear();
    error = dataFileProblem(path, cap);
    if (error.empty()) {
        // Checked again on what was opened: the name may have been changed in between.
        const OpenFile file(path);
        struct stat info;
        struct statfs where;
        if (file.fd < 0 || fstat(file.fd, &info) != 0 || fstatfs(file.fd, &where) != 0)
            error = systemReason("cannot be opened");
        else
            error = problemOf(info, where, cap);
        if (error.empty()) error = readAll(file.fd, cap, bytes);
    }
    if (error.empty()) return true;
    bytes.clear();
    error = path + ": " + error;
    return false;
}

bool isDataFolder(const std::string& dir) { return isFile(inFolder(dir, "test.xml")); }

std::string installedDataFolder()
{
    std::string dir = executableFolder();
    if (dir.empty()) return "";
    // "bin/../share" reads better as "share" in every line that names a file.
    std::string relative = VUMTAL_DATA_FROM_BINDIR;
    while (relative.compare(0, 3, "../") == 0 && dir.rfind('/') != std::string::npos && dir.rfind('/') > 0) {
        dir.erase(dir.rfind('/'));
        relative.erase(0, 3);
    }
    return dir + "/" + relative;
}

int chooseModFolders(const Options& options, const char* program, std::ostream& err)
{
    dataFolders.mods.clear();
    for (const std::string& mod : options.mods) {
        const std::string why = unreadable(mod);
        if (!why.empty()) {
            err << program << ": --mod " << mod << ": cannot be read (" << why << ")\n";
            return 1;
        }
        for (const std::string& earlier : dataFolders.mods) {
            if (!sameFolder(earlier, mod)) continue;
            err << program << ": --mod " << mod << ": given twice (as " << earlier << ")\n";
            return 2;
        }
        dataFolders.mods.push_back(mod);
    }
    return 0;
}

int chooseDataFolder(const Options& options, const char* program, std::ostream& err)
{
    if (!options.data.empty()) {
        const std::string why = unreadable(options.data);
        if (!why.empty()) {
            err << program << ": --data " << options.data << ": cannot be read (" << why << ")\n";
            return 1;
        }
        if (!isDataFolder(options.data)) {
            err << program << ": --data " << options.data << ": no test.xml there, so not the game's data\n";
            return 1;
        }
        dataFolders.data = options.data;
        return 0;
    }
    // Where the game has always been started: scripts, tests and every older habit.
    if (isDataFolder("")) {
        dataFolders.data = "";
        return 0;
    }
    const char* variable = std::getenv("VUMTAL_DATA");
    const std::string fromEnvironment = variable ? variable : "";
    if (!fromEnvironment.empty() && isDataFolder(fromEnvironment)) {
        dataFolders.data = fromEnvironment;
        return 0;
    }
    const std::string badEnvironment = fromEnvironment.empty() ? "" : "$VUMTAL_DATA (" + fromEnvironment + ")";
    const std::string installed = installedDataFolder();
    if (!installed.empty() && isDataFolder(installed)) {
        if (!badEnvironment.empty())
            err << program << ": " << badEnvironment << " holds no test.xml; using " << installed << "\n";
        dataFolders.data = installed;
        return 0;
    }
    err << program << ": no data folder: no test.xml in the working directory, "
        << (badEnvironment.empty() ? "" : badEnvironment + ", ") << "or " << installed
        << "; name it on the command line\n";
    return 1;
}

int chooseDataFolders(const Options& options, const char* program, std::ostream& err)
{
    const int status = chooseModFolders(options, program, err);
    return status != 0 ? status : chooseDataFolder(options, program, err);
}
