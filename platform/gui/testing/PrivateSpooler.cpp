// The daemon runs in the foreground as a child of the test, on a folder of
// its own under /tmp (the socket's path must stay short). Its queues use
// the PDF printer driver with a device name no driver configuration
// names, so the driver writes with its built-in settings into its own
// spool folder; the files of this daemon's jobs are removed at the end.
#include "PrivateSpooler.h"

#include <cups/cups.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include <fcntl.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace {

const char* const DriverSpool = "/var/spool/cups-pdf";
const char* const DriverLogs = "/var/log/cups";
const char* const DriverModels[] = {"/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd",
                                    "/usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd"};

std::string FindProgram(const char* name)
{
    for (const char* dir : {"/usr/sbin", "/usr/local/sbin", "/sbin"}) {
        std::string p = std::string(dir) + "/" + name;
        if (access(p.c_str(), X_OK) == 0) return p;
    }
    if (const char* path = getenv("PATH")) {
        std::stringstream s(path);
        std::string dir;
        while (std::getline(s, dir, ':')) {
            std::string p = dir + "/" + name;
            if (!dir.empty() && access(p.c_str(), X_OK) == 0) return p;
        }
    }
    return {};
}

std::string Tail(const std::string& file, size_t bytes)
{
    std::ifstream f(file, std::ios::binary);
    std::string s((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    return s.size() > bytes ? s.substr(s.size() - bytes) : s;
}

bool Accepts(const std::string& socketPath)
{
    int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0) return false;
    sockaddr_un a{};
    a.sun_family = AF_UNIX;
    std::strncpy(a.sun_path, socketPath.c_str(), sizeof a.sun_path - 1);
    const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    close(fd);
    return ok;
}

// The letters and digits of text, in lower case: what of a job's title the
// driver keeps in its file name.
std::string Plain(const std::string& s)
{
    std::string r;
    for (unsigned char c : s)
        if (std::isalnum(c)) r += char(std::tolower(c));
    return r;
}

std::string PrinterUri(const std::string& queue)
{
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0, "/printers/%s",
                     queue.c_str());
    return uri;
}

ipp_t* NewRequest(ipp_op_t op, const std::string& queue)
{
    ipp_t* r = ippNewRequest(op);
    ippAddString(r, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, PrinterUri(queue).c_str());
    ippAddString(r, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    return r;
}

void CheckAnswer(ipp_t* answer, const std::string& what)
{
    ippDelete(answer);
    if (cupsLastError() > IPP_STATUS_OK_CONFLICTING)
        throw std::runtime_error(what + ": " + cupsLastErrorString());
}

}  // namespace

TPrivateSpooler::TPrivateSpooler()
{
    if (geteuid() != 0) {
        FWhy = "the PDF printer driver prints only for a spooler started as root, and this test runs as a "
               "normal user";
        return;
    }
    const std::string daemon = FindProgram("cupsd");
    if (daemon.empty()) {
        FWhy = "cupsd is not installed (tools/setup installs it)";
        return;
    }
    char dirTemplate[] = "/tmp/qzspool-XXXXXX";
    if (!mkdtemp(dirTemplate)) {
        FWhy = std::string("no scratch folder: ") + std::strerror(errno);
        return;
    }
    FDir = dirTemplate;
    FSocket = FDir + "/socket";
    // The filters run as the spooler's own user: they pass through the
    // folder and write their scratch files in tmp.
    chmod(FDir.c_str(), 0755);
    fs::create_directories(FDir + "/log");
    fs::create_directories(FDir + "/tmp");
    chmod((FDir + "/tmp").c_str(), 01777);
    {
        std::ofstream conf(FDir + "/cupsd.conf");
        conf << "Listen " << FSocket << "\n"
             << "LogLevel info\nBrowsing No\nWebInterface No\nDefaultShared No\n"
             // A job that fails is reported and the queue goes on.
             << "ErrorPolicy abort-job\n"
             // What a job sent stays for the test to read back.
             << "PreserveJobFiles Yes\n"
             << "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
             << "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n";
        std::ofstream files(FDir + "/cups-files.conf");
        files << "ServerRoot " << FDir << "\nRequestRoot " << FDir << "/spool\nTempDir " << FDir
              << "/tmp\nCacheDir " << FDir << "/cache\nStateDir " << FDir << "/state\nAccessLog " << FDir
              << "/log/access_log\nErrorLog " << FDir << "/log/error_log\nPageLog " << FDir
              << "/log/page_log\nPrintcap " << FDir << "/printcap\nFileDevice No\n";
    }
    const std::string conf = FDir + "/cupsd.conf", files = FDir + "/cups-files.conf", out = FDir + "/log/stdout";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    std::vector<std::string> args = {daemon, "-f", "-c", conf, "-s", files};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, daemon.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        FWhy = "cupsd could not be started: " + std::string(std::strerror(rc));
        return;
    }
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    bool ready = false;
    while (std::chrono::steady_clock::now() < until) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            pid = 0;
            break;
        }
        if (Accepts(FSocket)) {
            ready = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (!ready) {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        FWhy = "cupsd did not start: " + Tail(out, 600) + Tail(FDir + "/log/error_log", 600);
        return;
    }
    FPid = pid;
    if (const char* old = getenv("CUPS_SERVER")) {
        FHadServer = true;
        FOldServer = old;
    }
    setenv("CUPS_SERVER", FSocket.c_str(), 1);
    cupsSetServer(FSocket.c_str());
}

TPrivateSpooler::~TPrivateSpooler()
{
    if (FPid > 0) {
        for (const std::string& q : FQueues) {
            cups_job_t* jobs = nullptr;
            const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, q.c_str(), 0, CUPS_WHICHJOBS_ALL);
            for (int i = 0; i < n; ++i) {
                std::string f = PrintedFile(jobs[i].title ? jobs[i].title : "", jobs[i].id);
                if (!f.empty()) FPrinted.push_back(f);
            }
            cupsFreeJobs(n, jobs);
            std::error_code ec;
            fs::remove(std::string(DriverLogs) + "/cups-pdf-" + q + "_log", ec);
        }
        kill(FPid, SIGTERM);
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (waitpid(FPid, nullptr, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > until) {
                kill(FPid, SIGKILL);
                waitpid(FPid, nullptr, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (FHadServer)
            setenv("CUPS_SERVER", FOldServer.c_str(), 1);
        else
            unsetenv("CUPS_SERVER");
        cupsSetServer(nullptr);
    }
    std::error_code ec;
    for (const std::string& f : FPrinted) fs::remove(f, ec);
    if (!FDir.empty()) fs::remove_all(FDir, ec);
}

void TPrivateSpooler::Request(int op, const std::string& queue, const char* resource)
{
    CheckAnswer(cupsDoRequest(CUPS_HTTP_DEFAULT, NewRequest(ipp_op_t(op), queue), resource),
                "the spooler refused " + std::string(ippOpString(ipp_op_t(op))) + " for " + queue);
}

std::string TPrivateSpooler::AddPdfQueue(const std::string& base)
{
    if (!Started()) throw std::runtime_error("the spooler does not run: " + FWhy);
    std::string model;
    for (const char* m : DriverModels)
        if (access(m, R_OK) == 0) {
            model = m;
            break;
        }
    if (model.empty()) throw std::runtime_error("the PDF printer driver is not installed (tools/setup installs it)");
    const std::string name = base + "_" + std::to_string(getpid());
    ipp_t* r = NewRequest(IPP_OP_CUPS_ADD_MODIFY_PRINTER, name);
    ippAddString(r, IPP_TAG_PRINTER, IPP_TAG_URI, "device-uri", nullptr, ("cups-pdf:/" + name).c_str());
    ippAddString(r, IPP_TAG_PRINTER, IPP_TAG_TEXT, "printer-info", nullptr, "PDF");
    CheckAnswer(cupsDoFileRequest(CUPS_HTTP_DEFAULT, r, "/admin/", model.c_str()), "the spooler refused the queue " + name);
    FQueues.push_back(name);
    StartQueue(name);
    return name;
}

void TPrivateSpooler::StartQueue(const std::string& queue)
{
    Request(IPP_OP_RESUME_PRINTER, queue, "/admin/");
    Request(IPP_OP_CUPS_ACCEPT_JOBS, queue, "/admin/");
}

void TPrivateSpooler::StopQueue(const std::string& queue) { Request(IPP_OP_PAUSE_PRINTER, queue, "/admin/"); }

void TPrivateSpooler::RejectJobs(const std::string& queue) { Request(IPP_OP_CUPS_REJECT_JOBS, queue, "/admin/"); }

int TPrivateSpooler::PendingJobs(const std::string& queue)
{
    cups_job_t* jobs = nullptr;
    const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue.c_str(), 0, CUPS_WHICHJOBS_ACTIVE);
    cupsFreeJobs(n, jobs);
    return std::max(0, n);
}

std::vector<TPrivateSpooler::TJob> TPrivateSpooler::FinishedJobs(const std::string& queue, int timeoutMs)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (PendingJobs(queue) > 0 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::vector<TJob> r;
    cups_job_t* jobs = nullptr;
    const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue.c_str(), 0, CUPS_WHICHJOBS_COMPLETED);
    for (int i = 0; i < n; ++i) {
        TJob j;
        j.Id = jobs[i].id;
        j.Title = jobs[i].title ? jobs[i].title : "";
        j.Completed = jobs[i].state == IPP_JSTATE_COMPLETED;
        char doc[64];
        std::snprintf(doc, sizeof doc, "/spool/d%05d-001", j.Id);
        j.Document = FDir + doc;
        j.Printed = PrintedFile(j.Title, j.Id);
        if (!j.Printed.empty()) FPrinted.push_back(j.Printed);
        r.push_back(std::move(j));
    }
    cupsFreeJobs(n, jobs);
    std::sort(r.begin(), r.end(), [](const TJob& a, const TJob& b) { return a.Id < b.Id; });
    return r;
}

// The driver names a job's file after its title and number, in a folder
// per user.
std::string TPrivateSpooler::PrintedFile(const std::string& title, int id) const
{
    const std::string start = Plain(title), end = "-job_" + std::to_string(id) + ".pdf";
    std::error_code ec;
    for (const auto& user : fs::directory_iterator(DriverSpool, ec)) {
        std::error_code inner;
        for (const auto& f : fs::directory_iterator(user.path(), inner)) {
            const std::string name = f.path().filename().string();
            if (name.size() > end.size() && name.compare(name.size() - end.size(), end.size(), end) == 0 &&
                !start.empty() && Plain(name).rfind(start, 0) == 0)
                return f.path().string();
        }
    }
    return {};
}
