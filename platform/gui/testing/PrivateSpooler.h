// A print spooler of the test's own: a CUPS daemon started on a scratch
// configuration that listens on a local socket only (no network port, no
// system-wide service), with this process's printing pointed at it while
// the object lives. Its queues print to PDF files through the PDF printer
// driver, so a test reads back both the document the spooler took and the
// file the queue printed. Only tests link it.
#pragma once

#include <string>
#include <vector>

class TPrivateSpooler {
public:
    // Starts the daemon and waits until it answers; Started() says whether it runs.
    TPrivateSpooler();
    // Stops the daemon, points printing back at the system's spooler and
    // removes what the daemon and its queues wrote.
    ~TPrivateSpooler();
    TPrivateSpooler(const TPrivateSpooler&) = delete;
    TPrivateSpooler& operator=(const TPrivateSpooler&) = delete;

    bool Started() const { return FPid > 0; }
    // Why the daemon does not run.
    const std::string& Why() const { return FWhy; }

    // Adds an enabled queue that prints to PDF files and answers its name
    // (base made unique to this process); raises std::runtime_error with the
    // spooler's reason when it is refused.
    std::string AddPdfQueue(const std::string& base);
    // A stopped queue holds the jobs it takes; a rejecting one takes none.
    void StopQueue(const std::string& queue);
    void RejectJobs(const std::string& queue);
    // Runs the queue and has it take jobs again.
    void StartQueue(const std::string& queue);

    struct TJob {
        int Id = 0;
        std::string Title;
        bool Completed = false;      // printed; else aborted or cancelled
        std::string Document;        // the file the spooler keeps of what it took
        std::string Printed;         // the PDF file the queue printed; empty when none
    };
    // Waits (at most timeoutMs) until the queue has nothing pending or
    // printing, then answers its jobs, oldest first.
    std::vector<TJob> FinishedJobs(const std::string& queue, int timeoutMs = 60000);
    // The jobs the queue holds, not printed yet.
    int PendingJobs(const std::string& queue);

private:
    void Request(int op, const std::string& queue, const char* resource);
    std::string PrintedFile(const std::string& title, int id) const;
    std::string FDir, FSocket;
    std::string FWhy;
    int FPid = 0;
    std::vector<std::string> FQueues;
    std::vector<std::string> FPrinted;
    std::string FOldServer;
    bool FHadServer = false;
};
