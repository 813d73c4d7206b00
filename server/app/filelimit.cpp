#include "filelimit.h"

#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

#include <limits>

namespace FileLimit {

int raiseToHard()
{
#ifdef Q_OS_UNIX
    rlimit files{};
    if (getrlimit(RLIMIT_NOFILE, &files) == 0) {
        if (files.rlim_cur < files.rlim_max) {
            rlimit raised = files;
            raised.rlim_cur = files.rlim_max;
            if (setrlimit(RLIMIT_NOFILE, &raised) == 0)
                files = raised;
        }
        if (files.rlim_cur == RLIM_INFINITY || files.rlim_cur > rlim_t(std::numeric_limits<int>::max()))
            return std::numeric_limits<int>::max();
        return int(files.rlim_cur);
    }
#endif
    return 1024;
}

} // namespace FileLimit
