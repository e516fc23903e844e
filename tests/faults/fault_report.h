#pragma once
// One line per case of the fault-and-input suite (the case, what must hold, what happened) and
// a closing summary per test program: faults survived, bad inputs refused, rows lost.
// Header only: every file of this folder is a test program of its own.
#include <gtest/gtest.h>

#include <QString>
#include <cstdio>
#include <mutex>

namespace faults {

enum class Kind { Fault, BadInput };

class Report {
public:
    static Report& get() {
        static Report r;
        return r;
    }

    // Prints the case and fails the running test when it did not hold.
    void record(Kind kind, const QString& name, const QString& must, const QString& happened,
                bool held) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            Tally& t = kind == Kind::Fault ? faults_ : inputs_;
            ++t.cases;
            if (held) ++t.held;
            std::printf("[%s] %s | must: %s | happened: %s | %s\n",
                        kind == Kind::Fault ? "fault" : "input", name.toUtf8().constData(),
                        must.toUtf8().constData(), happened.toUtf8().constData(),
                        held ? "HELD" : "BROKEN");
            std::fflush(stdout);
        }
        EXPECT_TRUE(held) << name.toStdString() << ": " << happened.toStdString();
    }

    // Rows of an earlier state that a case found missing or changed afterwards.
    void lost(long long rows) {
        std::lock_guard<std::mutex> lock(mutex_);
        lost_ += rows;
        EXPECT_EQ(rows, 0) << "rows lost";
    }

    void skipped(const QString& name, const QString& why) {
        std::lock_guard<std::mutex> lock(mutex_);
        ++skipped_;
        std::printf("[skip] %s | %s\n", name.toUtf8().constData(), why.toUtf8().constData());
        std::fflush(stdout);
    }

    void printSummary() {
        std::lock_guard<std::mutex> lock(mutex_);
        std::printf("== summary: faults survived %d/%d, bad inputs refused %d/%d, rows lost = %lld",
                    faults_.held, faults_.cases, inputs_.held, inputs_.cases, lost_);
        if (skipped_ > 0) std::printf(", skipped %d", skipped_);
        std::printf("\n");
        std::fflush(stdout);
    }

private:
    struct Tally {
        int cases = 0;
        int held = 0;
    };
    std::mutex mutex_;
    Tally faults_, inputs_;
    long long lost_ = 0;
    int skipped_ = 0;
};

// A fault survived: a real failure of a server, a connection or the file system.
inline void fault(const QString& name, const QString& must, const QString& happened, bool held) {
    Report::get().record(Kind::Fault, name, must, happened, held);
}
// Bad input refused (or stored exactly as given), never half-stored.
inline void input(const QString& name, const QString& must, const QString& happened, bool held) {
    Report::get().record(Kind::BadInput, name, must, happened, held);
}
inline void lost(long long rows) {
    Report::get().lost(rows);
}
inline void skipped(const QString& name, const QString& why) {
    Report::get().skipped(name, why);
}

// Prints the summary once every test of the program has run.
class SummaryAtEnd : public ::testing::Environment {
public:
    void TearDown() override { Report::get().printSummary(); }
};

inline ::testing::Environment* const kSummaryAtEnd =
    ::testing::AddGlobalTestEnvironment(new SummaryAtEnd);

}  // namespace faults
