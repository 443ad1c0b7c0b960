// Runs a program under a systemd unit's RestrictAddressFamilies= the way
// systemd applies it (a seccomp filter: socket() with a family outside the
// list fails with EAFNOSUPPORT; socketpair() and sockets handed over stay
// allowed), with the families read from the unit file itself, so that a test
// of the host under it follows the unit as shipped. On machines without
// systemd as PID 1 this is how the tests find out what the unit must allow.
//
//     e2e_unit_address_families UNIT-FILE PROGRAM [ARGUMENTS...]
//
// Prints "address families: AF_INET AF_INET6" on standard error before it
// starts the program; exits 2 when the unit names a family it does not know,
// none, or a deny list (which the unit does not use).
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::map<std::string, int>& familyNumbers()
{
    static const std::map<std::string, int> numbers = {
        {"AF_UNIX", AF_UNIX},       {"AF_INET", AF_INET},     {"AF_INET6", AF_INET6},
        {"AF_NETLINK", AF_NETLINK}, {"AF_PACKET", AF_PACKET}, {"AF_BLUETOOTH", AF_BLUETOOTH},
        {"AF_ALG", AF_ALG},         {"AF_VSOCK", AF_VSOCK},
    };
    return numbers;
}

// The families the unit allows, as systemd reads them: every
// RestrictAddressFamilies= line adds to the list, and an empty one clears it.
bool readFamilies(const char* path, std::vector<std::string>& names, std::string& problem)
{
    std::ifstream unit(path);
    if (!unit) {
        problem = std::string("cannot read ") + path;
        return false;
    }
    const std::string key = "RestrictAddressFamilies=";
    std::string line;
    while (std::getline(unit, line)) {
        if (line.rfind(key, 0) != 0)
            continue;
        std::istringstream words(line.substr(key.size()));
        std::string word;
        bool any = false;
        while (words >> word) {
            any = true;
            if (word[0] == '~') {
                problem = "a deny list (" + word + ") is not what the unit uses";
                return false;
            }
            if (familyNumbers().count(word) == 0) {
                problem = "unknown address family " + word;
                return false;
            }
            names.push_back(word);
        }
        if (!any)
            names.clear();
    }
    if (names.empty()) {
        problem = std::string("no RestrictAddressFamilies= in ") + path;
        return false;
    }
    return true;
}

// Native calls only: a program of this machine's own architecture is what
// runs here. x32's numbers are the same calls with a bit set.
#if defined(__x86_64__)
constexpr unsigned kNativeArch = AUDIT_ARCH_X86_64;
#elif defined(__aarch64__)
constexpr unsigned kNativeArch = AUDIT_ARCH_AARCH64;
#else
#error "the address family filter knows x86-64 and arm64 only"
#endif
constexpr unsigned kX32Bit = 0x40000000U;

bool installFilter(const std::vector<int>& families)
{
    std::vector<sock_filter> code;
    const auto statement = [&code](unsigned short op, unsigned value) {
        code.push_back(BPF_STMT(op, value));
    };
    statement(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch));
    code.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, kNativeArch, 1, 0));
    statement(BPF_RET | BPF_K, SECCOMP_RET_KILL_PROCESS); // only this machine's own calls run here
    statement(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr));
    statement(BPF_ALU | BPF_AND | BPF_K, ~kX32Bit);
    code.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_socket, 1, 0));
    statement(BPF_RET | BPF_K, SECCOMP_RET_ALLOW);
    // The family is an int: the low half of the first argument.
    statement(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args[0]));
    for (std::size_t i = 0; i < families.size(); ++i) {
        // To the ALLOW after the list when equal, else on to the next test.
        const auto skip = static_cast<unsigned char>(families.size() - i);
        code.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, static_cast<unsigned>(families[i]), skip, 0));
    }
    statement(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EAFNOSUPPORT);
    statement(BPF_RET | BPF_K, SECCOMP_RET_ALLOW);
    const sock_fprog program{static_cast<unsigned short>(code.size()), code.data()};
    return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
           prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program, 0, 0) == 0;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s UNIT-FILE PROGRAM [ARGUMENTS...]\n", argv[0]);
        return 2;
    }
    std::vector<std::string> names;
    std::string problem;
    if (!readFamilies(argv[1], names, problem)) {
        std::fprintf(stderr, "%s: %s\n", argv[0], problem.c_str());
        return 2;
    }
    std::vector<int> families;
    std::string list;
    for (const std::string& name : names) {
        families.push_back(familyNumbers().at(name));
        list += " " + name;
    }
    std::fprintf(stderr, "address families:%s\n", list.c_str());
    if (!installFilter(families)) {
        std::perror("seccomp");
        return 2;
    }
    execvp(argv[2], argv + 2);
    std::perror(argv[2]);
    return 127;
}
