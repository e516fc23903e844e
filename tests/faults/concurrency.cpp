// Two programs writing the same company's data at the same moment, each on its own
// connections (two threads here, started together): the request of one date registered twice,
// and payers added and beneficiaries imported side by side.
#include <gtest/gtest.h>

#include <QSet>
#include <latch>
#include <thread>

#include "billing/billing_queries.h"
#include "facility/facility_queries.h"
#include "payers/payer_queries.h"
#include "platform/sql/connection.h"
#include "platform/sql/sql_error.h"
#include "tests/faults/fault_report.h"
#include "tests/faults/private_servers.h"
#include "tests/faults/row_sets.h"
#include "tests/support/test_env.h"

using namespace testsupport;
using platform::sql::Connection;
using platform::sql::SqlError;

namespace {

const QString kSid = QStringLiteral("S1");
const QString kDate = QStringLiteral("2031-03-05");

// A grid of `n` payers from `first` on, amounts base + payer number.
std::vector<billing::StoreRow> grid(int first, int n, qint64 base) {
    std::vector<billing::StoreRow> rows;
    for (int i = first; i < first + n; ++i) {
        billing::StoreRow r;
        r.userid = faults::payerId(i);
        r.username = QStringLiteral("납부자%1").arg(i);
        r.bankcode = QStringLiteral("088");
        r.account = QStringLiteral("110-%1").arg(i);
        r.accountname = QStringLiteral("예금주%1").arg(i);
        r.amount = base + i;
        rows.push_back(r);
    }
    return rows;
}

QStringList asStored(const std::vector<billing::StoreRow>& rows) {
    QStringList out;
    for (const auto& r : rows) out << r.userid + u'=' + QString::number(*r.amount);
    out.sort();
    return out;
}

// Runs `work` with its own connection; "" when it succeeded, else the error text.
template <class W>
QString onOwnConnection(W work) {
    try {
        Connection c(baseDb());
        c.open();
        work(c);
        return {};
    } catch (const SqlError& e) {
        return e.message();
    } catch (const std::exception& e) {
        return QString::fromStdString(e.what());
    }
}

class Concurrency : public ::testing::Test {
protected:
    void SetUp() override {
        resetDatabases();
        // The client library's one-time set-up happens here, not in two threads at once.
        Connection warm(baseDb());
        warm.open();
    }
};

TEST_F(Concurrency, TwoProgramsRegisterTheSameDate) {
    const auto a = grid(1, 600, 10000);
    const auto b = grid(300, 800, 20000);
    const QStringList storedA = asStored(a), storedB = asStored(b);
    const struct {
        const char* what;
        bool earlier;
    } starts[] = {{"date without a request", false}, {"date with an earlier request", true}};
    for (const auto& s : starts) {
        int mixed = 0, failures = 0, rounds = 0;
        QStringList errors;
        for (int round = 0; round < 12; ++round, ++rounds) {
            exec(baseDb(), QStringLiteral("delete from cms_bill"));
            if (s.earlier) {
                Connection c(baseDb());
                c.open();
                billing::storeBill(c, kSid, kDate, grid(1, 1000, 500));
            }
            std::latch go(2);
            QString errA, errB;
            std::thread ta([&] {
                go.arrive_and_wait();
                errA =
                    onOwnConnection([&](Connection& c) { billing::storeBill(c, kSid, kDate, a); });
            });
            std::thread tb([&] {
                go.arrive_and_wait();
                errB =
                    onOwnConnection([&](Connection& c) { billing::storeBill(c, kSid, kDate, b); });
            });
            ta.join();
            tb.join();
            QStringList stored;
            for (const QStringList& r :
                 rows(baseDb(), QStringLiteral("select userid, amount from cms_bill where "
                                               "serviceid = 'S1' and billdate = '%1'")
                                    .arg(kDate)))
                stored << r[0] + u'=' + r[1];
            stored.sort();
            if (stored != storedA && stored != storedB) ++mixed;
            for (const QString& e : {errA, errB})
                if (!e.isEmpty()) {
                    ++failures;
                    if (!errors.contains(e)) errors << e;
                }
        }
        faults::fault(
            QStringLiteral("two programs register the same date at once (%1)").arg(s.what),
            QStringLiteral("the stored request is exactly one of the two, never a mix; "
                           "both registrations succeed, one after the other"),
            QStringLiteral("%1 rounds: %2 mixed, %3 registrations failed%4")
                .arg(rounds)
                .arg(mixed)
                .arg(failures)
                .arg(errors.isEmpty() ? QString()
                                      : QStringLiteral(" (") + errors.join(u'/') + u')'),
            mixed == 0 && failures == 0);
    }
}

// The worst moment made exact: the first program is held at its first insert, after its
// delete, while the second one starts; then both go on.
TEST_F(Concurrency, SecondRegistrationStartsWhileTheFirstIsHalfWay) {
    const auto a = grid(1, 600, 10000);
    const auto b = grid(300, 800, 20000);
    const QString gate = QStringLiteral("pd_gate_%1").arg(world().tag);
    // A gate, not a lock: each waiting insert takes it and gives it back at once.
    exec(baseDb(), QStringLiteral("CREATE TRIGGER pd_gate BEFORE INSERT ON cms_bill FOR EACH ROW "
                                  "SET @pd_gate = IF(NEW.userid IN ('%1','%2'), GET_LOCK('%3', "
                                  "120) + RELEASE_LOCK('%3'), 0)")
                       .arg(faults::payerId(1), faults::payerId(300), gate));
    // Stores of this program's database that wait: at the gate, or for another one's locks.
    const auto waiting = [&] {
        const QString db = world().baseDb;
        return scalar(baseDb(),
                      QStringLiteral("select count(*) from information_schema.processlist "
                                     "where db = '%1' and state = 'User lock'")
                          .arg(db))
                   .toInt() +
               scalar(baseDb(), QStringLiteral("select count(*) from information_schema.innodb_trx "
                                               "where trx_state = 'LOCK WAIT'"))
                   .toInt();
    };
    const struct {
        const char* what;
        bool earlier;
    } starts[] = {{"date without a request", false}, {"date with an earlier request", true}};
    for (const auto& s : starts) {
        exec(baseDb(), QStringLiteral("delete from cms_bill"));
        if (s.earlier) {
            Connection c(baseDb());
            c.open();
            billing::storeBill(c, kSid, kDate, grid(1000, 3, 500));
        }
        Connection holder(baseDb());
        holder.open();
        holder.executeRaw(QStringLiteral("do get_lock('%1', 0)").arg(gate));
        QString errA, errB;
        std::thread ta([&] {
            errA = onOwnConnection([&](Connection& c) { billing::storeBill(c, kSid, kDate, a); });
        });
        EXPECT_TRUE(faults::waitFor([&] { return waiting() >= 1; }, 30000));
        std::thread tb([&] {
            errB = onOwnConnection([&](Connection& c) { billing::storeBill(c, kSid, kDate, b); });
        });
        // The second one waits too: at the gate, or for the first one's locks.
        EXPECT_TRUE(faults::waitFor([&] { return waiting() >= 2; }, 30000));
        holder.executeRaw(QStringLiteral("do release_lock('%1')").arg(gate));
        ta.join();
        tb.join();
        QStringList stored;
        for (const QStringList& r :
             rows(baseDb(), QStringLiteral("select userid, amount from cms_bill where serviceid "
                                           "= 'S1' and billdate = '%1'")
                                .arg(kDate)))
            stored << r[0] + u'=' + r[1];
        stored.sort();
        const QString which = stored == asStored(a)   ? QStringLiteral("the first one's")
                              : stored == asStored(b) ? QStringLiteral("the second one's")
                                                      : QStringLiteral("a MIX");
        faults::fault(
            QStringLiteral("second registration of the date starts while the first is half way "
                           "(%1)")
                .arg(s.what),
            QStringLiteral("exactly one of the two is stored; both succeed, one after the other"),
            QStringLiteral("stored %1 request (%2 rows); first: %3; second: %4")
                .arg(which)
                .arg(stored.size())
                .arg(errA.isEmpty() ? QStringLiteral("saved") : errA,
                     errB.isEmpty() ? QStringLiteral("saved") : errB),
            which != u"a MIX" && errA.isEmpty() && errB.isEmpty());
    }
}

TEST_F(Concurrency, TwoProgramsAddPayersAndImportBeneficiaries) {
    constexpr int kPayers = 25, kBatch = 10;
    auto work = [&](const QString& who, std::latch& go) {
        go.arrive_and_wait();
        QStringList errors;
        for (int i = 1; i <= kPayers; ++i) {
            const QString e = onOwnConnection([&](Connection& c) {
                payers::NewPayer p;
                p.groupname = QStringLiteral("A");
                p.username = QStringLiteral("%1-직접%2").arg(who).arg(i);
                p.bankcode = QStringLiteral("088");
                p.account = QStringLiteral("110-%1").arg(i);
                p.accountname = p.username;
                p.birth = QStringLiteral("1980-01-01");
                payers::insertPayer(c, kSid, p);
            });
            if (!e.isEmpty()) errors << e;
            if (i == kPayers / 2) {
                const QString b = onOwnConnection([&](Connection& c) {
                    std::vector<facility::NewBeneficiaryPayer> batch;
                    for (int k = 1; k <= kBatch; ++k) {
                        facility::NewBeneficiaryPayer p;
                        p.dlbid = QStringLiteral("%1%2").arg(who).arg(k, 3, 10, QLatin1Char('0'));
                        p.username = QStringLiteral("%1-수급자%2").arg(who).arg(k);
                        p.bankcode = QStringLiteral("004");
                        p.account = QStringLiteral("220-%1").arg(k);
                        p.accountname = p.username;
                        p.birth = QStringLiteral("1945-03-12");
                        p.tel = QStringLiteral("01012345678");
                        batch.push_back(p);
                    }
                    facility::insertBeneficiaries(c, kSid, batch);
                });
                if (!b.isEmpty()) errors << b;
            }
        }
        return errors;
    };
    std::latch go(2);
    QStringList errorsA, errorsB;
    std::thread ta([&] { errorsA = work(QStringLiteral("A"), go); });
    std::thread tb([&] { errorsB = work(QStringLiteral("B"), go); });
    ta.join();
    tb.join();

    const auto stored = rows(baseDb(), QStringLiteral("select userid, username from cms_user "
                                                      "where serviceid = 'S1' order by userid"));
    QSet<QString> ids;
    QHash<QString, int> names;
    for (const QStringList& r : stored) {
        ids.insert(r[0]);
        ++names[r[1]];
    }
    int missing = 0, twice = 0;
    for (const QString& who : {QStringLiteral("A"), QStringLiteral("B")}) {
        QStringList expected;
        for (int i = 1; i <= kPayers; ++i) expected << QStringLiteral("%1-직접%2").arg(who).arg(i);
        for (int k = 1; k <= kBatch; ++k) expected << QStringLiteral("%1-수급자%2").arg(who).arg(k);
        for (const QString& n : expected) {
            if (names.value(n) == 0) ++missing;
            if (names.value(n) > 1) ++twice;
        }
    }
    // The numbers run 1..n without a hole: nothing was numbered and then lost.
    bool contiguous = true;
    for (int i = 0; i < static_cast<int>(stored.size()); ++i)
        if (stored[static_cast<size_t>(i)][0] != faults::payerId(i + 1)) contiguous = false;
    const QStringList errors = errorsA + errorsB;
    const int total = 2 * (kPayers + kBatch);
    faults::fault(
        QStringLiteral("two programs add %1 payers and import %2 beneficiaries each, at once")
            .arg(kPayers)
            .arg(kBatch),
        QStringLiteral("every entry stored once, no two payers share a number"),
        QStringLiteral("%1 of %2 stored, %3 missing, %4 twice, %5 distinct numbers%6, %7 "
                       "errors%8")
            .arg(stored.size())
            .arg(total)
            .arg(missing)
            .arg(twice)
            .arg(ids.size())
            .arg(contiguous ? QStringLiteral(" running 1..n") : QStringLiteral(" with holes"))
            .arg(errors.size())
            .arg(errors.isEmpty() ? QString() : QStringLiteral(" (") + errors.first() + u')'),
        static_cast<int>(stored.size()) == total && missing == 0 && twice == 0 &&
            ids.size() == total && errors.isEmpty());
}

}  // namespace
