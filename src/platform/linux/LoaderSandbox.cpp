#include "platform/LoaderSandbox.h"

#include <fcntl.h>
#include <linux/landlock.h>
#include <sched.h>
#include <seccomp.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>

namespace tavello {
namespace {

// AddressSanitizer reserves terabytes of address space for its shadow memory: a sanitized build
// goes without the address-space limit, and is allowed the system calls of the sanitizer's own.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
constexpr bool kSanitized = __has_feature(address_sanitizer);
#else
constexpr bool kSanitized = false;
#endif
constexpr rlim_t kMaxAddressSpace = 1024ULL * 1024 * 1024;
// Far beyond any decode's own time limit, which ends a slow one first.
constexpr rlim_t kMaxProcessorSeconds = 60;

// Every access the first version of file-system confinement knows of.
constexpr __u64 kAllFileAccess = (LANDLOCK_ACCESS_FS_MAKE_SYM << 1) - 1;

bool SetLimit(int resource, rlim_t value) {
    const rlimit limit{value, value};
    return ::setrlimit(resource, &limit) == 0;
}

// Allows listing folders when the process lists a folder entry, and nothing else on the file
// system: no file's contents are ever read. Folders are listable everywhere, not only below the
// entry, as a link in it may lead to a folder elsewhere; so listing is left out of what the
// confinement handles at all, rather than granted from the root down, which would have every
// folder opened checked against each of its parents, and a deep chain listed in quadratic time.
// false only when the system has file-system confinement and it failed.
bool ConfineFiles(bool listsFolders) {
    landlock_ruleset_attr attributes{};
    attributes.handled_access_fs = kAllFileAccess;
    if (listsFolders) attributes.handled_access_fs &= ~__u64(LANDLOCK_ACCESS_FS_READ_DIR);
    const int ruleset =
        static_cast<int>(::syscall(SYS_landlock_create_ruleset, &attributes, sizeof attributes, 0));
    if (ruleset < 0) {
        const bool missing = errno == ENOSYS || errno == EOPNOTSUPP;
        if (missing) std::fputs("tavello: no Landlock here; files stay reachable\n", stderr);
        return missing;
    }
    const bool restricted = ::syscall(SYS_landlock_restrict_self, ruleset, 0) == 0;
    ::close(ruleset);
    return restricted;
}

using Filter = std::unique_ptr<void, decltype(&seccomp_release)>;

// The system calls reading, decoding, listing and answering need; the rest kills the process.
const int kAllowedCalls[] = {
    // Reading the files passed, listing folders, answering.
    SCMP_SYS(read),
    SCMP_SYS(pread64),
    SCMP_SYS(write),
    SCMP_SYS(sendmsg),
    SCMP_SYS(recvmsg),
    SCMP_SYS(close),
    SCMP_SYS(fstat),
    SCMP_SYS(newfstatat),
    SCMP_SYS(statx),
    SCMP_SYS(lseek),
    SCMP_SYS(getdents64),
    SCMP_SYS(fcntl),
    // Memory, and the sealed memory files pixels go back in.
    SCMP_SYS(mmap),
    SCMP_SYS(munmap),
    SCMP_SYS(mremap),
    SCMP_SYS(mprotect),
    SCMP_SYS(brk),
    SCMP_SYS(madvise),
    SCMP_SYS(memfd_create),
    SCMP_SYS(ftruncate),
    // Threads (Qt's wake their event dispatchers through an event counter), their locks and what
    // the C library and Qt ask about the machine.
    SCMP_SYS(futex),
    SCMP_SYS(eventfd2),
    SCMP_SYS(clock_gettime),
    SCMP_SYS(sched_yield),
    SCMP_SYS(sched_getaffinity),
    SCMP_SYS(sysinfo),
    SCMP_SYS(getpid),
    SCMP_SYS(gettid),
    SCMP_SYS(getrandom),
    SCMP_SYS(set_robust_list),
    SCMP_SYS(rseq),
    SCMP_SYS(rt_sigreturn),
    SCMP_SYS(rt_sigprocmask),
    SCMP_SYS(rt_sigaction),
    SCMP_SYS(exit),
    SCMP_SYS(exit_group),
};

// What AddressSanitizer itself does in a sanitized build: checks memory through a pipe, gives each
// thread a signal stack.
const int kSanitizerCalls[] = {SCMP_SYS(pipe2), SCMP_SYS(sigaltstack)};

bool AddRules(scmp_filter_ctx filter) {
    for (const int call : kAllowedCalls)
        if (seccomp_rule_add(filter, SCMP_ACT_ALLOW, call, 0) != 0) return false;
    if (kSanitized)
        for (const int call : kSanitizerCalls)
            if (seccomp_rule_add(filter, SCMP_ACT_ALLOW, call, 0) != 0) return false;
    // Files open for reading only.
    const scmp_datum_t writing = O_WRONLY | O_RDWR | O_CREAT | O_TRUNC | O_APPEND;
    if (seccomp_rule_add(filter, SCMP_ACT_ALLOW, SCMP_SYS(openat), 1,
                         scmp_arg_cmp{2, SCMP_CMP_MASKED_EQ, writing, 0}) != 0)
        return false;
    // Decoders name their threads.
    if (seccomp_rule_add(filter, SCMP_ACT_ALLOW, SCMP_SYS(prctl), 1,
                         scmp_arg_cmp{0, SCMP_CMP_EQ, PR_SET_NAME, 0}) != 0)
        return false;
    // Threads of decoders, never new processes. clone3 hides its flags from the filter: refused
    // as missing, it makes the C library fall back to clone, whose flags are checked.
    if (seccomp_rule_add(filter, SCMP_ACT_ALLOW, SCMP_SYS(clone), 1,
                         scmp_arg_cmp{0, SCMP_CMP_MASKED_EQ, CLONE_THREAD, CLONE_THREAD}) != 0)
        return false;
    return seccomp_rule_add(filter, SCMP_ACT_ERRNO(ENOSYS), SCMP_SYS(clone3), 0) == 0;
}

bool ConfineCalls() {
    const Filter filter(seccomp_init(SCMP_ACT_KILL_PROCESS), &seccomp_release);
    return filter && AddRules(filter.get()) && seccomp_load(filter.get()) == 0;
}

}  // namespace

bool TieToParent(qint64 parentPid) {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    // A parent that ended before the line above would never send the signal.
    return ::getppid() == parentPid;
}

bool ConfineLoader(bool listsFolders) {
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0) return false;
    if ((!kSanitized && !SetLimit(RLIMIT_AS, kMaxAddressSpace)) ||
        !SetLimit(RLIMIT_CPU, kMaxProcessorSeconds) || !SetLimit(RLIMIT_CORE, 0))
        return false;
    return ConfineFiles(listsFolders) && ConfineCalls();
}

}  // namespace tavello
