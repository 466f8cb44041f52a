// mailsender: hands one message with its attachments to the desktop's mail client, which opens it for editing.
//   mailsender -files PATH... -subject TEXT -body TEXT [-to IGNORED]
// Options are read left to right without regard to case; "-files" takes every following argument that does not
// begin with "-". Nothing is sent without at least one attachment. The exit code is 0 when the launcher took the
// message or there was nothing to send, 1 when the launcher could not be started or failed (no mail program).
//
// Plain C++ without Qt: the program is stored inside Lumiwand and written out for each mail, so it stays small.

#include <cstdlib>
#include <spawn.h>
#include <string>
#include <strings.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

bool is(const char* argument, const char* option)
{
    return strcasecmp(argument, option) == 0;
}

struct Mail {
    std::vector<std::string> files;
    std::string subject;
    std::string body;
};

Mail parse(int argc, char* argv[])
{
    Mail mail;
    for (int i = 1; i < argc; ++i) {
        if (is(argv[i], "-files")) {
            while (i + 1 < argc && argv[i + 1][0] != '-')
                mail.files.emplace_back(argv[++i]);
        } else if (is(argv[i], "-subject")) {
            if (i + 1 < argc)
                mail.subject = argv[++i];
        } else if (is(argv[i], "-body")) {
            if (i + 1 < argc)
                mail.body = argv[++i];
        } else if (is(argv[i], "-to")) {
            ++i;
        }
    }
    return mail;
}

// The desktop's mail-client launcher; LUMIWAND_XDG_EMAIL names another one (tests record what it receives).
std::string launcher()
{
    const char* other = std::getenv("LUMIWAND_XDG_EMAIL");
    return other && *other ? other : "xdg-email";
}

} // namespace

int main(int argc, char* argv[])
{
    const Mail mail = parse(argc, argv);
    if (mail.files.empty())
        return 0;

    std::vector<std::string> arguments{launcher(), "--utf8", "--subject", mail.subject, "--body", mail.body};
    for (const std::string& file : mail.files) {
        arguments.emplace_back("--attach");
        arguments.push_back(file);
    }
    std::vector<char*> pointers;
    for (std::string& argument : arguments)
        pointers.push_back(argument.data());
    pointers.push_back(nullptr);

    pid_t child = 0;
    if (posix_spawnp(&child, pointers[0], nullptr, nullptr, pointers.data(), environ) != 0)
        return 1;
    int status = 0;
    if (waitpid(child, &status, 0) != child)
        return 1;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
}
