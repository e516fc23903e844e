// Speed of the program's operations against the best this machine does for the same work,
// side by side in one run: over loopback and with 30 ms of added round-trip time between the
// client and the database server. Every operation runs in-process through the functions the
// forms call (and the grid fills the forms do); every anchor does the same work straight on
// Connector/C or the file system. Prints one table on stdout, progress on stderr.
//
//   paydesk_bench --servers DIR --paydesk EXE --min-window EXE [--quick] [--runs N]
//       DIR: servers started by tests/servers/servers.py (servers.ini). --quick: small sizes,
//       one run, a 1 ms delay; fails (exit 1) only when an operation does not complete with
//       the right result, never on a time.
//   paydesk_bench --grid-memory --servers DIR --database DB --service ID --expect N
//       child process: loads the payer list of ID into the payer grid and prints its peak RSS.
#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>

#include "app/data_module.h"
#include "app/deployment_config.h"
#include "bench/anchors.h"
#include "bench/delay_proxy.h"
#include "bench/form_grids.h"
#include "billing/billing_queries.h"
#include "billing/request_file.h"
#include "billing/request_file_writer.h"
#include "facility/facility_queries.h"
#include "payers/payer_queries.h"
#include "platform/codepage/codepage.h"
#include "platform/sql/connection.h"
#include "platform/sql/query.h"
#include "platform/ui/data_grid.h"
#include "store/vocabulary.h"

namespace {

using platform::sql::Connection;
using platform::sql::ConnectionSettings;
using platform::sql::Query;

// ---- the statements of the Parts as the SQL layer sends them (the billing ones are private
// to billing_queries.cpp; the texts are the same).
const QString kBillListSql = QStringLiteral(
    " select a.*, ifnull(b.amount,0) as billamount, ifnull(c.resultamount,0) as resultamount, "
    "now() as dt, c.resultname   from cms_user a  left join cms_bill b on a.serviceid = "
    "b.serviceid and a.userid = b.userid and b.billdate = :일자  left join cms_bill_his c on "
    "b.serviceid = c.serviceid and b.userid = c.userid and b.billdate = c.billdate  where "
    "a.serviceid = :serviceid    and :일자 between StartDate and EndDate    and a.stat in "
    "('등록완료')  order by a.username ");
const QString kDeleteBillSql = QStringLiteral(
    " delete  from cms_bill  where serviceid = :serviceid    and billdate = :billdate ");
const QString kInsertBillSql = QStringLiteral(
    " insert into cms_bill  set serviceid = :serviceid, userid = :userid, billdate = :billdate, "
    "     bankcode = :bankcode, account = :account, accountname = :accountname,      amount = "
    ":amount, stat = :stat, recdatetime = now(3) ");
const QString kRequestRecordsSql = QStringLiteral(
    " select a.*, b.username  from cms_bill a  join cms_user b on a.serviceid = b.serviceid "
    "and a.userid = b.userid  where a.serviceid = :serviceid    and a.billdate = :billdate    "
    "and a.stat = :stat    and a.amount > 0  order by a.userid ");

// ---- the data sets
const QString kPayerCompany = QStringLiteral("BPAY");    // payer list
const QString kRequestCompany = QStringLiteral("BREQ");  // request list and store
const QString kFileCompany = QStringLiteral("BFILE");    // request file, grid memory
const QString kImportCompany = QStringLiteral("BDLB");   // beneficiary batch
const QString kListDate = QStringLiteral("2024-05-02");
const QString kStoreDate = QStringLiteral("2024-06-03");
const QString kFileDate = QStringLiteral("2024-07-01");       // all payers of kFileCompany
const QString kSmallFileDate = QStringLiteral("2024-07-02");  // a tenth of them
const QString kInstitution = QStringLiteral("99887766");

struct Sizes {
    int store = 5000;
    int payerList = 10000;
    int requestList = 5000;
    int beneficiaries = 500;
    int file = 100000;
    int smallFile = 10000;
    int gridMemory = 100000;
    int runs = 5;
    int warmups = 1;
    int oneWayDelayMs = 15;
};

Sizes quickSizes() {
    Sizes s;
    s.store = 200;
    s.payerList = 300;
    s.requestList = 200;
    s.beneficiaries = 20;
    s.file = 2000;
    s.smallFile = 200;
    s.gridMemory = 2000;
    s.runs = 1;
    s.warmups = 0;
    s.oneWayDelayMs = 1;
    return s;
}

QString euckrName(int i) {
    static const QString family = QStringLiteral("김이박최정강조윤장임한오서신권황안송류홍");
    static const QString given = QStringLiteral("민서준지현우수영하은도윤예진성호경숙순자");
    return QString(family[i % family.size()]) + given[(i / 20) % given.size()] +
           given[(i / 400) % given.size()];
}

QString id10(int i) {
    return QStringLiteral("%1").arg(i, 10, 10, QLatin1Char('0'));
}

[[noreturn]] void fail(const QString& what) {
    throw std::runtime_error(what.toStdString());
}

// Answers every box with OK; a box during a measured operation is a failure of it.
class QuietMessages : public platform::ui::MessageService {
public:
    platform::ui::MsgResult show(QWidget*, platform::ui::MsgIcon, const QString&,
                                 const QString& text, platform::ui::MsgButtons) override {
        last = text;
        ++count;
        return platform::ui::MsgResult::Ok;
    }
    QString openFile(QWidget*, const QString&, const QString&, const QString&) override {
        return {};
    }
    QString saveFile(QWidget*, const QString&, const QString&, const QString&) override {
        return {};
    }
    QString last;
    int count = 0;
};

ConnectionSettings serverFrom(const QString& dir) {
    QSettings in(dir + QStringLiteral("/servers.ini"), QSettings::IniFormat);
    ConnectionSettings s;
    s.host = in.value("db/host").toString();
    s.port = in.value("db/port").toInt();
    s.user = in.value("db/user").toString();
    s.password = in.value("db/password").toString();
    if (s.host.isEmpty()) fail(QStringLiteral("no servers.ini in %1").arg(dir));
    return s;
}

// ---- loading

void execScript(Connection& c, const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) fail(QStringLiteral("cannot read %1").arg(path));
    QString text;
    for (const QString& line : QString::fromUtf8(f.readAll()).split(u'\n'))
        if (!line.trimmed().startsWith(QStringLiteral("--"))) text += line + u'\n';
    for (const QString& statement : text.split(QStringLiteral(";\n"), Qt::SkipEmptyParts))
        if (!statement.trimmed().isEmpty()) c.executeRaw(statement);
}

void insertPayers(Connection& c, const QString& service, int from, int count,
                  const std::function<QString(int)>& statOf) {
    Query q(c);
    q.setSql(QStringLiteral(
        "insert into cms_user (serviceid, userid, dlbid, groupname, username, bankcode, account, "
        "accountname, birth, tel, memo, stat, startdate, enddate, recdatetime) values (:s, :u, "
        ":d, :g, :n, :b, :a, :n, :birth, :tel, :memo, :stat, '2019-01-01', '9999-99-99', "
        "now(3))"));
    static const QStringList banks = {"003", "004", "011", "020", "088", "081"};
    std::vector<QStringList> rows;
    rows.reserve(static_cast<size_t>(count));
    for (int i = from; i < from + count; ++i) {
        const QString group =
            i % 7 == 0 ? QString() : QStringLiteral("%1층 %2호실").arg(i % 5 + 1).arg(i % 30);
        const QString memo = i % 10 == 0 ? QStringLiteral("보호자 연락 후 출금") : QString();
        rows.push_back({service, id10(i), QStringLiteral("M%1").arg(i), group, euckrName(i),
                        banks[i % banks.size()],
                        QStringLiteral("110-%1-%2").arg(i % 1000, 3, 10, QLatin1Char('0')).arg(i),
                        QStringLiteral("19%1-%2-%3")
                            .arg(40 + i % 50)
                            .arg(i % 12 + 1, 2, 10, QLatin1Char('0'))
                            .arg(i % 28 + 1, 2, 10, QLatin1Char('0')),
                        QStringLiteral("010%1").arg(i % 100000000, 8, 10, QLatin1Char('0')), memo,
                        statOf(i)});
    }
    q.executeBatch({"s", "u", "d", "g", "n", "b", "a", "birth", "tel", "memo", "stat"}, rows);
}

void insertBills(Connection& c, const QString& service, const QString& date, int count) {
    Query q(c);
    q.setSql(QStringLiteral(
        "insert into cms_bill (serviceid, userid, billdate, bankcode, account, accountname, "
        "amount, stat, recdatetime) select serviceid, userid, :date, bankcode, account, "
        "accountname, 10000 + cast(userid as unsigned), :stat, now(3) from cms_user where "
        "serviceid = :s and cast(userid as unsigned) <= :n"));
    q.setParam("date", date);
    q.setParam("stat", store::kBillWaiting);
    q.setParam("s", service);
    q.setParam("n", QString::number(count));
    q.execute();
}

ConnectionSettings loadData(const ConnectionSettings& server, const QString& database,
                            const Sizes& z) {
    {
        Connection admin(server);
        admin.open();
        admin.executeRaw(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(database));
        admin.executeRaw(
            QStringLiteral("CREATE DATABASE %1 DEFAULT CHARACTER SET euckr").arg(database));
    }
    ConnectionSettings db = server;
    db.database = database;
    Connection c(db);
    c.open();
    execScript(c, QStringLiteral(PAYDESK_SOURCE_DIR "/store/schema/service.sql"));

    // The payer list: the listed payers in the three active statuses, and a few cancelled.
    const QStringList listed = {store::kPayerRegistered, store::kPayerRegistered,
                                store::kPayerRegistered, store::kPayerRegistered,
                                store::kPayerWaiting,    store::kPayerRequested};
    insertPayers(c, kPayerCompany, 1, z.payerList, [&](int i) { return listed[i % 6]; });
    insertPayers(c, kPayerCompany, z.payerList + 1, z.payerList / 20 + 1,
                 [](int) { return store::kPayerCancelWaiting; });

    // The request form: registered payers with a request of the list date, half with results.
    insertPayers(c, kRequestCompany, 1, z.requestList, [](int) { return store::kPayerRegistered; });
    insertBills(c, kRequestCompany, kListDate, z.requestList);
    c.executeRaw(
        QStringLiteral("insert into cms_bill_his (serviceid, userid, billdate, resultamount, "
                       "resultname, recdatetime) select serviceid, userid, billdate, amount, "
                       "'출금완료', now(3) from cms_bill where serviceid = '%1' and billdate = "
                       "'%2' and cast(userid as unsigned) % 2 = 0")
            .arg(kRequestCompany, kListDate));

    // The request file and the grid memory.
    insertPayers(c, kFileCompany, 1, std::max(z.file, z.gridMemory),
                 [](int) { return store::kPayerRegistered; });
    insertBills(c, kFileCompany, kFileDate, z.file);
    insertBills(c, kFileCompany, kSmallFileDate, z.smallFile);
    c.executeRaw(QStringLiteral("analyze table cms_user, cms_bill, cms_bill_his"));
    return db;
}

// ---- measurement

struct Sample {
    double ms = 0;
    long long connections = 0;
    long long statements = 0;
    long long roundTrips = -1;  // counted by the delay proxy only
    double peakMb = 0;
};

double peakRssMb() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

// Lowers the process's peak RSS to its current RSS, so each operation shows its own peak.
void resetPeakRss() {
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly)) f.write("5");
}

// The server's counters, read on a connection of its own; its own readings are taken off.
// A connection that the client has closed is still being torn down on the server for a
// moment, and its counters are only final once it is gone, so the reading after an operation
// waits until the admin connection is the only one left.
class Meter {
public:
    explicit Meter(const ConnectionSettings& server) : admin_(server) {
        admin_.open();
        const Status a = status();
        const Status b = status();
        ownQuestions_ = b.questions - a.questions;
        baseThreads_ = b.threads;
    }

    void setProxy(bench::DelayProxy* proxy) { proxy_ = proxy; }
    // Off where other clients share the server (the quick run beside the tests): their
    // connections never let the count settle, and the counts are not asserted there.
    void setSettle(bool on) { settle_ = on; }

    Sample measure(const std::function<void()>& work) {
        const Status before = settled();
        const auto flights = proxy_ ? proxy_->counts().serverFlights : 0;
        resetPeakRss();
        QElapsedTimer t;
        t.start();
        work();
        Sample s;
        s.ms = static_cast<double>(t.nsecsElapsed()) / 1e6;
        s.peakMb = peakRssMb();
        if (proxy_) s.roundTrips = static_cast<long long>(proxy_->counts().serverFlights - flights);
        const Status after = settled();
        s.connections = after.connections - before.connections;
        s.statements = after.questions - before.questions - ownQuestions_ * after.reads;
        return s;
    }

    Connection& admin() { return admin_; }

private:
    struct Status {
        long long connections = 0;
        long long questions = 0;
        long long threads = 0;
        int reads = 1;  // readings it took to settle
    };

    Status status() {
        Query q(admin_);
        q.setSql(
            QStringLiteral("show global status where variable_name in ('Connections', "
                           "'Questions', 'Threads_connected')"));
        q.open();
        Status s;
        for (; !q.eof(); q.next()) {
            const QString name = q.fieldAt(0).toLower();
            const long long v = q.fieldAt(1).toLongLong();
            if (name == u"connections") s.connections = v;
            if (name == u"questions") s.questions = v;
            if (name == u"threads_connected") s.threads = v;
        }
        return s;
    }

    Status settled() {
        Status s = status();
        QElapsedTimer t;
        t.start();
        int reads = 1;
        while (settle_ && s.threads > baseThreads_ && t.elapsed() < 5000) {
            QThread::usleep(500);
            s = status();
            ++reads;
        }
        s.reads = reads;
        return s;
    }

    Connection admin_;
    long long ownQuestions_ = 0;
    long long baseThreads_ = 1;
    bool settle_ = true;
    bench::DelayProxy* proxy_ = nullptr;
};

double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct Figures {
    std::vector<Sample> samples;
    bool empty() const { return samples.empty(); }
    double ms() const {
        std::vector<double> v;
        for (const Sample& s : samples) v.push_back(s.ms);
        return median(v);
    }
    template <typename F>
    long long medianOf(F f) const {
        std::vector<double> v;
        for (const Sample& s : samples) v.push_back(static_cast<double>(f(s)));
        return static_cast<long long>(median(v));
    }
    long long connections() const {
        return medianOf([](const Sample& s) { return s.connections; });
    }
    long long statements() const {
        return medianOf([](const Sample& s) { return s.statements; });
    }
    long long roundTrips() const {
        return medianOf([](const Sample& s) { return s.roundTrips; });
    }
    double peakMb() const {
        double p = 0;
        for (const Sample& s : samples) p = std::max(p, s.peakMb);
        return p;
    }
};

struct Row {
    QString operation;
    QString size;
    QString link;
    long long count = 0;  // rows handled, for rows per second; 0: none
    Figures mine;
    Figures anchor;
    double peakOverrideMb = -1;  // measured in a process of its own
    QString goal;
    std::optional<bool> met;  // empty: no goal on this row
    QString note;
    double ratio() const { return anchor.empty() ? 0 : mine.ms() / anchor.ms(); }
};

struct Link {
    QString name;
    int port = 0;
    bench::DelayProxy* proxy = nullptr;  // counts the round trips of delayed runs
};

// ---- the bench

class Bench {
public:
    Bench(const ConnectionSettings& server, const ConnectionSettings& db, const Sizes& z,
          QString paydesk, QString minWindow, QString serversDir, bool quick)
        : server_(server),
          db_(db),
          z_(z),
          paydesk_(std::move(paydesk)),
          minWindow_(std::move(minWindow)),
          serversDir_(std::move(serversDir)),
          meter_(server),
          proxy_(server.host.toStdString(), server.port) {
        proxy_.setOneWayDelayMs(z.oneWayDelayMs);
        meter_.setSettle(!quick);
        app::DeploymentConfig config;
        config.base = db;
        config.institutionCode = kInstitution;
        dm_ = std::make_unique<TDM>(config, messages_);
        dm_->setWaiter([](int) {});
        DM = dm_.get();
        if (!folder_.isValid()) fail(QStringLiteral("no temporary folder"));
    }
    ~Bench() { DM = nullptr; }

    std::vector<Row> rows;
    QStringList failures;
    QStringList only;  // substrings of the operations to run; empty: all

    bool wanted(const QString& operation) const {
        if (only.isEmpty()) return true;
        for (const QString& o : only)
            if (operation.contains(o, Qt::CaseInsensitive)) return true;
        return false;
    }

    void runAll() {
        const QString delayed = QStringLiteral("+%1 ms").arg(2 * z_.oneWayDelayMs);
        const std::vector<Link> links = {{QStringLiteral("loopback"), server_.port, nullptr},
                                         {delayed, proxy_.port(), &proxy_}};
        for (const Link& link : links) {
            if (wanted("connect")) connectRow(link);
            if (wanted("store")) storeRow(link, true);
            if (wanted("nobulk")) storeRow(link, false);
            if (wanted("payers")) payerListRow(link);
            if (wanted("requests")) requestListRow(link);
            if (wanted("import")) beneficiaryRow(link);
            if (wanted("button")) fileButtonRow(link);
        }
        if (wanted("file")) fileRows();
        if (wanted("startup")) startupRow();
        if (wanted("memory")) gridMemoryRow();
    }

private:
    // Runs the operation and its anchor by turns, after the warm-ups; `prepare` (untimed)
    // puts the data back before each run. A warm-up that takes seconds (rows sent one by one
    // over the delayed link) has nothing left to warm and counts as a run.
    void compare(Row& row, const Link& link, const std::function<void()>& prepare,
                 const std::function<void()>& mine, const std::function<void()>& anchor) {
        useLink(link);
        int warmups = z_.warmups;
        for (int i = 0; i < warmups + z_.runs; ++i) {
            std::fprintf(stderr, "  %s, %s, %s: run %d of %d\n", qPrintable(row.operation),
                         qPrintable(row.size), qPrintable(link.name), i + 1, warmups + z_.runs);
            if (prepare) prepare();
            messages_.count = 0;
            const Sample a = meter_.measure(mine);
            if (messages_.count)
                fail(QStringLiteral("a message during the operation: %1").arg(messages_.last));
            const bool slow = a.ms > 2000;
            if (i < warmups && slow) warmups = i;
            if (i >= warmups) row.mine.samples.push_back(a);
            if (!anchor) continue;
            if (prepare) prepare();
            const Sample b = meter_.measure(anchor);
            if (i >= warmups) row.anchor.samples.push_back(b);
        }
        useLink({QStringLiteral("loopback"), server_.port, nullptr});
    }

    void useLink(const Link& link) {
        DM->UniBase = db_;
        DM->UniBase.port = link.port;
        anchor_ = db_;
        anchor_.port = link.port;
        meter_.setProxy(link.proxy);
    }

    bool check(bool ok, const QString& what) {
        if (ok) return true;
        failures << what;
        std::fprintf(stderr, "WRONG RESULT: %s\n", qPrintable(what));
        return false;
    }

    // What a company's stored requests of a date hold, as a digest (the time stamp aside).
    QByteArray storedBills(const QString& service, const QString& date) {
        Connection c(db_);
        c.open();
        Query q(c);
        q.setSql(QStringLiteral(
            "select serviceid, userid, billdate, bankcode, account, accountname, amount, stat "
            "from cms_bill where serviceid = :s and billdate = :d order by userid"));
        q.setParam("s", service);
        q.setParam("d", date);
        q.open();
        QCryptographicHash h(QCryptographicHash::Sha1);
        for (; !q.eof(); q.next()) {
            QStringList f;
            for (int i = 0; i < q.fieldCount(); ++i) f << q.fieldAt(i);
            h.addData(f.join(u'|').toUtf8() + '\n');
        }
        return h.result().toHex() + '/' + QByteArray::number(q.recordCount());
    }

    static QByteArray digestOf(const std::vector<billing::StoreRow>& rows, const QString& service,
                               const QString& date) {
        std::vector<const billing::StoreRow*> sorted;
        for (const auto& r : rows)
            if (r.amount && *r.amount > 0) sorted.push_back(&r);
        std::sort(sorted.begin(), sorted.end(),
                  [](auto* a, auto* b) { return a->userid < b->userid; });
        QCryptographicHash h(QCryptographicHash::Sha1);
        for (const auto* r : sorted)
            h.addData(QStringList{service, r->userid, date, r->bankcode, r->account, r->accountname,
                                  QString::number(*r->amount), store::kBillWaiting}
                          .join(u'|')
                          .toUtf8() +
                      '\n');
        return h.result().toHex() + '/' + QByteArray::number(qsizetype(sorted.size()));
    }

    std::vector<billing::StoreRow> storeRows(int n) {
        std::vector<billing::StoreRow> out;
        Connection c(db_);
        c.open();
        const billing::BillList list = billing::selectBillList(c, kRequestCompany, kListDate);
        for (const auto& r : list.rows) {
            if (static_cast<int>(out.size()) >= n) break;
            billing::StoreRow s;
            s.userid = r.userid;
            s.username = r.username;
            s.bankcode = r.bankcode;
            s.account = r.account;
            s.accountname = r.accountname;
            s.amount = 20000 + r.userid.toLongLong();
            out.push_back(std::move(s));
        }
        return out;
    }

    static bench::anchor::Rows encodedRows(const QStringList& names,
                                           const std::vector<billing::StoreRow>& rows,
                                           const QString& service, const QString& date) {
        bench::anchor::Rows out;
        for (const auto& r : rows) {
            const std::map<QString, QString> v = {{"serviceid", service},
                                                  {"userid", r.userid},
                                                  {"billdate", date},
                                                  {"bankcode", r.bankcode},
                                                  {"account", r.account},
                                                  {"accountname", r.accountname},
                                                  {"amount", QString::number(*r.amount)},
                                                  {"stat", store::kBillWaiting}};
            std::vector<QByteArray> row;
            for (const QString& n : names) row.push_back(bench::anchor::eucKr(v.at(n.toLower())));
            out.push_back(std::move(row));
        }
        return out;
    }

    long long storeStatements(int n) {
        const auto rows = storeRows(n);
        useLink({QStringLiteral("loopback"), server_.port, nullptr});
        const Sample s = meter_.measure([&] {
            Connection c(DM->UniBase);
            if (!DM->Fn_Dynamic_DB_Connect(c)) fail("no connection");
            billing::storeBill(c, kRequestCompany, kStoreDate, rows);
        });
        return s.statements;
    }

    // ---- rows

    void connectRow(const Link& link) {
        Row row;
        row.operation = QStringLiteral("one connection (per-operation pattern)");
        row.size = QStringLiteral("-");
        row.link = link.name;
        compare(
            row, link, {},
            [&] {
                Connection c(DM->UniBase);
                if (!DM->Fn_Dynamic_DB_Connect(c) || !c.isOpen()) fail("no connection");
            },
            [&] { bench::anchor::connectOnly(anchor_); });
        // What the server counted on the connection before its first statement of its own:
        // the session counter counts the asking statement itself.
        long long atConnect = -1;
        {
            Connection c(DM->UniBase);
            if (DM->Fn_Dynamic_DB_Connect(c)) {
                Query q(c);
                q.setSql(QStringLiteral("show session status like 'Questions'"));
                q.open();
                atConnect = q.fieldAt(1).toLongLong() - 1;
            }
        }
        row.goal = QStringLiteral("0 stmts at connect");
        row.met = atConnect == 0 && row.mine.statements() <= row.anchor.statements();
        row.note = QStringLiteral(
                       "%1 stmts before the first query; the 1 counted is the close "
                       "(COM_QUIT), as the anchor's")
                       .arg(atConnect);
        if (link.proxy) {
            const double rtt = 2.0 * z_.oneWayDelayMs;
            row.note += QStringLiteral("; %1 round trips waited, %2 RTT of time (anchor %3)")
                            .arg(row.mine.roundTrips())
                            .arg(row.mine.ms() / rtt, 0, 'f', 1)
                            .arg(row.anchor.ms() / rtt, 0, 'f', 1);
        }
        rows.push_back(row);
    }

    void storeRow(const Link& link, bool bulk) {
        const auto input = storeRows(z_.store);
        if (static_cast<int>(input.size()) != z_.store) fail("not enough payers for the store");
        const QByteArray expected = digestOf(input, kRequestCompany, kStoreDate);
        QStringList names;
        const QByteArray insertSql = bench::anchor::positionalStatement(kInsertBillSql, &names);
        const QByteArray deleteSql = bench::anchor::inlineStatement(
            kDeleteBillSql, {{"serviceid", kRequestCompany}, {"billdate", kStoreDate}});
        const bench::anchor::Rows encoded = encodedRows(names, input, kRequestCompany, kStoreDate);

        Row row;
        row.operation = bulk ? QStringLiteral("register request (delete + inserts)")
                             : QStringLiteral("register request, server without bulk");
        row.size = QString::number(z_.store);
        row.link = link.name;
        row.count = z_.store;
        bool mineChecked = false, anchorChecked = false, identical = true;
        const auto clear = [&] {
            meter_.admin().executeRaw(
                QStringLiteral("delete from %1.cms_bill where serviceid = '%2' and billdate = '%3'")
                    .arg(db_.database, kRequestCompany, kStoreDate));
        };
        compare(
            row, link, clear,
            [&] {
                DM->UniBase.bulk = bulk;
                Connection c(DM->UniBase);
                if (!DM->Fn_Dynamic_DB_Connect(c)) fail("no connection");
                if (c.supportsBulk() != bulk) fail("the store did not take the path asked for");
                billing::storeBill(c, kRequestCompany, kStoreDate, input);
                if (!mineChecked) {
                    mineChecked = true;
                    identical &=
                        check(storedBills(kRequestCompany, kStoreDate) == expected,
                              row.operation + QStringLiteral(": stored rows differ from the grid"));
                }
            },
            [&] {
                if (bulk)
                    bench::anchor::storeBulk(anchor_, deleteSql, insertSql, encoded);
                else
                    bench::anchor::storePerRow(anchor_, deleteSql, insertSql, encoded);
                if (!anchorChecked) {
                    anchorChecked = true;
                    identical &=
                        check(storedBills(kRequestCompany, kStoreDate) == expected,
                              row.operation + QStringLiteral(": anchor stored other rows"));
                }
            });
        if (bulk) {
            const long long small = storeStatements(std::max(1, z_.store / 100));
            const long long large = row.mine.statements();
            const bool fast = !link.proxy || row.mine.ms() <= 1500;
            row.goal = QStringLiteral("<=1.5x, stmts fixed%1").arg(link.proxy ? ", <=1.5 s" : "");
            row.met = row.ratio() <= 1.5 && small == large && fast;
            row.note = QStringLiteral("stmts %1 at %2 rows, %3 at %4 rows")
                           .arg(small)
                           .arg(std::max(1, z_.store / 100))
                           .arg(large)
                           .arg(z_.store);
        } else {
            row.goal = QStringLiteral("<=1.2x, same rows");
            row.met = row.ratio() <= 1.2 && identical;
            row.note = QStringLiteral("per-row path forced; stored rows %1")
                           .arg(identical ? "identical" : "DIFFER");
        }
        if (link.proxy) row.note += QStringLiteral("; trips %1").arg(row.mine.roundTrips());
        rows.push_back(row);
    }

    void payerListRow(const Link& link) {
        platform::ui::DataGrid grid;
        bench::buildPayerGrid(&grid);
        grid.resize(437, 460);
        grid.show();
        QCoreApplication::processEvents();

        const QByteArray sql = bench::anchor::inlineStatement(payers::kPayerListSql + u'\n' +
                                                                  payers::kActiveStatusFilter +
                                                                  u'\n' + payers::kOrderByName,
                                                              {{"serviceid", kPayerCompany}});
        long long bytes = 0;
        Row row;
        row.operation = QStringLiteral("payer list load + grid fill");
        row.size = QString::number(z_.payerList);
        row.link = link.name;
        row.count = z_.payerList;
        compare(
            row, link, {},
            [&] {
                std::vector<payers::Payer> list;
                {
                    Connection c(DM->UniBase);
                    if (!DM->Fn_Dynamic_DB_Connect(c)) fail("no connection");
                    list =
                        payers::fetchPayerList(c, kPayerCompany, false, payers::PayerSort::ByName);
                }
                bench::fillPayerGrid(&grid, list);
                QCoreApplication::processEvents();  // its one redraw
            },
            [&] {
                bench::anchor::fetchText(anchor_, sql,
                                         [&](char**, unsigned long* lengths, unsigned n) {
                                             for (unsigned i = 0; i < n; ++i) bytes += lengths[i];
                                         });
            });
        // The grid against the rows as the server sends them (cms_user: userid 1, groupname 3,
        // username 4).
        std::vector<QStringList> expected;
        bench::anchor::fetchText(db_, sql, [&](char** f, unsigned long* l, unsigned) {
            auto text = [&](int i) {
                return platform::codepage::decodeEucKr(f[i], static_cast<qsizetype>(l[i]))
                    .trimmed();
            };
            expected.push_back({text(4), text(1), text(3)});
        });
        bool same = grid.recordCount() == static_cast<int>(expected.size()) &&
                    static_cast<int>(expected.size()) == z_.payerList;
        for (int r = 0; same && r < grid.recordCount(); ++r)
            same = grid.text(r, QStringLiteral("grd_List_Seq")) == QString::number(r + 1) &&
                   grid.text(r, QStringLiteral("grd_List_Name")) == expected[size_t(r)][0] &&
                   grid.text(r, QStringLiteral("grd_List_ID")) == expected[size_t(r)][1] &&
                   grid.text(r, QStringLiteral("grd_List_Group")) == expected[size_t(r)][2];
        check(same, QStringLiteral("payer list: the grid differs from the server's rows"));
        check(grid.footerText(QStringLiteral("grd_List_Seq")) ==
                  QStringLiteral("%1 건").arg(QLocale(QLocale::English).toString(z_.payerList)),
              QStringLiteral("payer list: footer ") + grid.footerText("grd_List_Seq"));
        row.goal = QStringLiteral("<=1.3x");
        row.met = row.ratio() <= 1.3;
        if (link.proxy) row.note = QStringLiteral("trips %1").arg(row.mine.roundTrips());
        rows.push_back(row);
    }

    void requestListRow(const Link& link) {
        platform::ui::DataGrid grid;
        bench::buildRequestGrid(&grid);
        grid.resize(1250, 460);
        grid.show();
        QCoreApplication::processEvents();

        const QByteArray sql = bench::anchor::inlineStatement(
            kBillListSql, {{"serviceid", kRequestCompany}, {"일자", kListDate}});
        long long bytes = 0;
        Row row;
        row.operation = QStringLiteral("request list load + grid fill");
        row.size = QString::number(z_.requestList);
        row.link = link.name;
        row.count = z_.requestList;
        compare(
            row, link, {},
            [&] {
                Connection c(DM->UniBase);
                if (!DM->Fn_Dynamic_DB_Connect(c)) fail("no connection");
                bench::fillRequestGrid(
                    &grid, billing::selectBillList(c, kRequestCompany, kListDate), kListDate);
                QCoreApplication::processEvents();
            },
            [&] {
                bench::anchor::fetchText(anchor_, sql,
                                         [&](char**, unsigned long* lengths, unsigned n) {
                                             for (unsigned i = 0; i < n; ++i) bytes += lengths[i];
                                         });
            });
        // userid 1, username 4, billamount 15, resultamount 16, resultname 18.
        std::vector<QStringList> expected;
        bench::anchor::fetchText(db_, sql, [&](char** f, unsigned long* l, unsigned) {
            auto text = [&](int i) {
                return platform::codepage::decodeEucKr(f[i], static_cast<qsizetype>(l[i]))
                    .trimmed();
            };
            expected.push_back({text(1), text(4), text(15), text(16), text(18)});
        });
        bool same = grid.recordCount() == static_cast<int>(expected.size()) &&
                    static_cast<int>(expected.size()) == z_.requestList;
        for (int r = 0; same && r < grid.recordCount(); ++r) {
            const QStringList& e = expected[size_t(r)];
            same = grid.text(r, QStringLiteral("grd_Bill_ID")) == e[0] &&
                   grid.text(r, QStringLiteral("grd_Bill_User")) == e[1] &&
                   grid.text(r, QStringLiteral("grd_Bill_Amount")) == e[2] &&
                   grid.text(r, QStringLiteral("grd_Bill_ResultAmount")) == e[3] &&
                   grid.text(r, QStringLiteral("grd_Bill_Result")) == e[4];
        }
        check(same, QStringLiteral("request list: the grid differs from the server's rows"));
        row.goal = QStringLiteral("<=1.3x");
        row.met = row.ratio() <= 1.3;
        if (link.proxy) row.note = QStringLiteral("trips %1").arg(row.mine.roundTrips());
        rows.push_back(row);
    }

    std::vector<QStringList> importedPayers() {
        Connection c(db_);
        c.open();
        Query q(c);
        q.setSql(QStringLiteral(
            "select userid, dlbid, groupname, username, bankcode, account, accountname, birth, "
            "tel, memo, stat, startdate, enddate from cms_user where serviceid = :s order by "
            "userid"));
        q.setParam("s", kImportCompany);
        q.open();
        std::vector<QStringList> out;
        for (; !q.eof(); q.next()) {
            QStringList f;
            for (int i = 0; i < q.fieldCount(); ++i) f << q.fieldAt(i);
            out.push_back(f);
        }
        return out;
    }

    void beneficiaryRow(const Link& link) {
        static const QStringList banks = {"국민은행", "신한은행", "농협", "우리은행", "하나은행"};
        std::vector<facility::ImportRow> grid;
        for (int i = 1; i <= z_.beneficiaries; ++i) {
            facility::ImportRow r;
            r.name = euckrName(i * 3);
            r.code = QStringLiteral("D%1").arg(i, 5, 10, QLatin1Char('0'));
            r.tel = QStringLiteral("010-%1-%2")
                        .arg(1000 + i % 9000)
                        .arg(2000 + i % 7000, 4, 10, QLatin1Char('0'));
            r.bank = banks[i % banks.size()];
            r.account = QStringLiteral("356-%1-22").arg(i, 6, 10, QLatin1Char('0'));
            r.accountname = r.name;
            r.birth = QStringLiteral("19%1.%2.%3")
                          .arg(30 + i % 40)
                          .arg(i % 12 + 1, 2, 10, QLatin1Char('0'))
                          .arg(i % 28 + 1, 2, 10, QLatin1Char('0'));
            grid.push_back(r);
        }
        if (!facility::checkImportRows(grid).isEmpty()) fail("the import rows do not pass");
        // The anchor's statements: the same insert per row with the values in place.
        std::vector<QByteArray> statements;
        for (const auto& r : grid) {
            const facility::NewBeneficiaryPayer p = facility::payerOfRow(r);
            statements.push_back(bench::anchor::inlineStatement(facility::kInsertBeneficiarySql,
                                                                {{"serviceid", kImportCompany},
                                                                 {"dlbid", p.dlbid},
                                                                 {"groupname", QString()},
                                                                 {"username", p.username},
                                                                 {"bankcode", p.bankcode},
                                                                 {"account", p.account},
                                                                 {"accountname", p.accountname},
                                                                 {"birth", p.birth},
                                                                 {"tel", p.tel},
                                                                 {"memo", QString()},
                                                                 {"stat", store::kPayerWaiting},
                                                                 {"startdate", store::kOpenDate},
                                                                 {"enddate", store::kOpenDate}}));
        }
        Row row;
        row.operation = QStringLiteral("beneficiary batch registration");
        row.size = QString::number(z_.beneficiaries);
        row.link = link.name;
        row.count = z_.beneficiaries;
        std::optional<std::vector<QStringList>> mineRows, anchorRows;
        const auto clear = [&] {
            meter_.admin().executeRaw(
                QStringLiteral("delete from %1.cms_user where serviceid = '%2'")
                    .arg(db_.database, kImportCompany));
        };
        compare(
            row, link, clear,
            [&] {
                // As the form does: the checks, the values of each row, the batch.
                if (!facility::checkImportRows(grid).isEmpty()) fail("rows refused");
                std::vector<facility::NewBeneficiaryPayer> payers;
                payers.reserve(grid.size());
                for (const auto& r : grid) payers.push_back(facility::payerOfRow(r));
                Connection c(DM->UniBase);
                if (!DM->Fn_Dynamic_DB_Connect(c)) fail("no connection");
                facility::insertBeneficiaries(c, kImportCompany, payers);
                if (!mineRows) mineRows = importedPayers();
            },
            [&] {
                bench::anchor::textStatements(anchor_, statements);
                if (!anchorRows) anchorRows = importedPayers();
            });
        bool numbered = mineRows && static_cast<int>(mineRows->size()) == z_.beneficiaries;
        for (int i = 0; numbered && i < z_.beneficiaries; ++i)
            numbered = (*mineRows)[size_t(i)][0] == id10(i + 1) &&
                       (*mineRows)[size_t(i)][1] == grid[size_t(i)].code.trimmed();
        check(numbered, QStringLiteral("beneficiary batch: payers not numbered in grid order"));
        check(mineRows == anchorRows,
              QStringLiteral("beneficiary batch: the anchor stored other rows"));
        row.goal = QStringLiteral("<=1.2x");
        row.met = row.ratio() <= 1.2;
        if (link.proxy) row.note = QStringLiteral("trips %1").arg(row.mine.roundTrips());
        rows.push_back(row);
    }

    std::vector<billing::RequestRecord> requestRecords(const QString& date) {
        Connection c(db_);
        c.open();
        return billing::selectRequestRecords(c, kFileCompany, date);
    }

    void fileButtonRow(const Link& link) {
        const auto records = requestRecords(kFileDate);
        const QByteArray bytes =
            billing::RequestFileWriter(kFileCompany, kInstitution).build(records);
        const QByteArray sql = bench::anchor::inlineStatement(
            kRequestRecordsSql,
            {{"serviceid", kFileCompany}, {"billdate", kFileDate}, {"stat", store::kBillWaiting}});
        const QString mineDir = folder_.path() + QStringLiteral("/button");
        const QString anchorPath = folder_.path() + QStringLiteral("/anchor-button.pay");
        QDir().mkpath(mineDir);
        QString written;
        Row row;
        row.operation = QStringLiteral("request file button (query + file)");
        row.size = QString::number(z_.file);
        row.link = link.name;
        row.count = z_.file;
        compare(
            row, link, {},
            [&] {
                Connection c(DM->UniBase);
                if (!DM->Fn_Dynamic_DB_Connect(c)) fail("no connection");
                written =
                    billing::createRequestFile(c, kFileCompany, kFileDate, kInstitution, mineDir);
            },
            [&] {
                long long n = 0;
                bench::anchor::fetchText(anchor_, sql, [&](char**, unsigned long* l, unsigned k) {
                    for (unsigned i = 0; i < k; ++i) n += l[i];
                });
                bench::anchor::writeFile(anchorPath, bytes);
            });
        QFile f(written);
        check(f.open(QIODevice::ReadOnly) && f.readAll() == bytes,
              QStringLiteral("request file button: the file differs"));
        row.note = QStringLiteral("anchor: Connector/C fetch + one write");
        if (link.proxy) row.note += QStringLiteral("; trips %1").arg(row.mine.roundTrips());
        rows.push_back(row);
    }

    void fileRows() {
        double smallMs = 0;
        for (const auto& [date, n] :
             {std::pair{kSmallFileDate, z_.smallFile}, std::pair{kFileDate, z_.file}}) {
            const auto records = requestRecords(date);
            check(static_cast<int>(records.size()) == n,
                  QStringLiteral("request file: %1 records read, %2 stored")
                      .arg(records.size())
                      .arg(n));
            const billing::RequestFileWriter writer(kFileCompany, kInstitution);
            const QByteArray bytes = writer.build(records);
            const QString minePath = folder_.path() + QStringLiteral("/mine.pay");
            const QString anchorPath = folder_.path() + QStringLiteral("/anchor.pay");
            Row row;
            row.operation = QStringLiteral("request file build + write");
            row.size = QString::number(n);
            row.link = QStringLiteral("-");
            row.count = n;
            compare(
                row, {QStringLiteral("-"), server_.port, nullptr}, {},
                [&] { writer.write(minePath, records); },
                [&] { bench::anchor::writeFile(anchorPath, bytes); });
            QFile f(minePath);
            check(
                f.open(QIODevice::ReadOnly) && f.readAll() == bytes &&
                    bytes.size() == qint64(n + 2) * (billing::RequestFileWriter::kRecordLength + 2),
                QStringLiteral("request file: the file differs from its records"));
            row.goal = QStringLiteral("<=2x, linear");
            row.met = row.ratio() <= 2.0;
            if (n == z_.smallFile) smallMs = row.mine.ms();
            if (n == z_.file && smallMs > 0) {
                const double growth = row.mine.ms() / smallMs;
                const double scale = double(z_.file) / z_.smallFile;
                row.met = *row.met && growth <= scale * 1.25;
                row.note = QStringLiteral("%1x the time for %2x the records")
                               .arg(growth, 0, 'f', 1)
                               .arg(scale, 0, 'f', 0);
            }
            rows.push_back(row);
        }
    }

    // Milliseconds from starting the program to its report of the first paint.
    double startProgram(const QString& exe, const QStringList& args,
                        const QProcessEnvironment& env) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::SeparateChannels);
        QElapsedTimer t;
        t.start();
        p.start(exe, args);
        double ms = -1;
        while (ms < 0 && p.waitForReadyRead(30000)) {
            while (p.canReadLine()) {
                if (p.readLine().startsWith("first-paint")) {
                    ms = static_cast<double>(t.nsecsElapsed()) / 1e6;
                    break;
                }
            }
        }
        if (!p.waitForFinished(15000)) {
            p.kill();
            p.waitForFinished();
        }
        if (ms < 0)
            fail(QStringLiteral("%1 did not report its first paint: %2")
                     .arg(exe, QString::fromLocal8Bit(p.readAllStandardError())));
        if (p.exitCode() != 0) fail(QStringLiteral("%1 ended with %2").arg(exe).arg(p.exitCode()));
        return ms;
    }

    void startupRow() {
        const QString dir = folder_.path() + QStringLiteral("/program");
        QDir().mkpath(dir + QStringLiteral("/desktop"));
        app::DeploymentConfig config;
        config.base = db_;
        config.wonju = db_;
        config.institutionCode = kInstitution;
        config.save(dir + QStringLiteral("/paydesk.ini"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QProcessEnvironment programEnv = env;
        programEnv.insert(QStringLiteral("PAYDESK_CONFIG"), dir + QStringLiteral("/paydesk.ini"));
        programEnv.insert(QStringLiteral("PAYDESK_PROGRAM_DIR"), dir);
        programEnv.insert(QStringLiteral("PAYDESK_DESKTOP_DIR"), dir + QStringLiteral("/desktop"));
        programEnv.insert(QStringLiteral("PAYDESK_FIRST_PAINT"), QStringLiteral("frmLogin"));

        for (const bool label : {false, true}) {
            Row row;
            row.operation = label ? QStringLiteral("start-up, anchor with Korean text")
                                  : QStringLiteral("start-up to the login form painted");
            row.size = QStringLiteral("-");
            row.link = QStringLiteral("-");
            const QStringList anchorArgs =
                label ? QStringList{QStringLiteral("--korean-label")} : QStringList{};
            compare(
                row, {QStringLiteral("-"), server_.port, nullptr}, {},
                [&] { startProgram(paydesk_, {}, programEnv); },
                [&] { startProgram(minWindow_, anchorArgs, env); });
            if (!label) {
                row.goal = QStringLiteral("<=1.5x");
                row.met = row.ratio() <= 1.5;
                row.note = QStringLiteral(
                    "offscreen, process start to first paint; anchor: one "
                    "empty window");
            } else {
                row.note = QStringLiteral("anchor: one window with one Korean label");
            }
            rows.push_back(row);
        }
    }

    void gridMemoryRow() {
        QProcess p;
        const QStringList args = {QStringLiteral("--grid-memory"),
                                  QStringLiteral("--servers"),
                                  serversDir_,
                                  QStringLiteral("--database"),
                                  db_.database,
                                  QStringLiteral("--service"),
                                  kFileCompany,
                                  QStringLiteral("--expect"),
                                  QString::number(z_.gridMemory)};
        Row row;
        row.operation = QStringLiteral("payer list grid memory");
        row.size = QString::number(z_.gridMemory);
        row.link = QStringLiteral("-");
        row.count = z_.gridMemory;
        QByteArray out;
        const Sample s = meter_.measure([&] {
            p.start(QCoreApplication::applicationFilePath(), args);
            if (!p.waitForFinished(300000)) p.kill();
            out = p.readAllStandardOutput();
        });
        double peak = -1;
        for (const QByteArray& line : out.split('\n'))
            if (line.startsWith("grid-memory "))
                peak = line.split(' ').value(2).toDouble() / 1024.0;
        check(p.exitCode() == 0 && peak > 0,
              QStringLiteral("grid memory: the child failed: %1")
                  .arg(QString::fromLocal8Bit(out + p.readAllStandardError())));
        Sample child = s;
        child.peakMb = peak;
        row.mine.samples.push_back(child);
        row.peakOverrideMb = peak;
        row.goal = QStringLiteral("peak RSS <=150 MB");
        row.met = peak > 0 && peak <= 150;
        row.note = QStringLiteral("own process: load + fill + paint");
        rows.push_back(row);
    }

    ConnectionSettings server_;
    ConnectionSettings db_;
    ConnectionSettings anchor_;
    Sizes z_;
    QString paydesk_;
    QString minWindow_;
    QString serversDir_;
    Meter meter_;
    bench::DelayProxy proxy_;
    QuietMessages messages_;
    std::unique_ptr<TDM> dm_;
    QTemporaryDir folder_;
};

// ---- the table

QString cell(double v, int decimals = 1) {
    return QString::number(v, 'f', decimals);
}

QString countCell(long long v) {
    return v < 0 ? QStringLiteral("-") : QString::number(v);
}

void printTable(const std::vector<Row>& rows, bool quick) {
    const QStringList head = {"operation", "size",  "link",    "median ms", "rows/s",
                              "conns",     "stmts", "peak MB", "anchor ms", "a.conns",
                              "a.stmts",   "ratio", "goal",    "met",       "notes"};
    std::vector<QStringList> table;
    for (const Row& r : rows) {
        const double ms = r.mine.ms();
        QStringList c;
        c << r.operation << r.size << r.link << cell(ms)
          << (r.count > 0 && ms > 0 ? QString::number(qRound64(r.count / (ms / 1000.0)))
                                    : QStringLiteral("-"))
          << countCell(r.mine.connections()) << countCell(r.mine.statements())
          << cell(r.peakOverrideMb >= 0 ? r.peakOverrideMb : r.mine.peakMb(), 0);
        if (r.anchor.empty())
            c << "-"
              << "-"
              << "-"
              << "-";
        else
            c << cell(r.anchor.ms()) << countCell(r.anchor.connections())
              << countCell(r.anchor.statements()) << cell(r.ratio(), 2);
        c << (r.goal.isEmpty() ? QStringLiteral("-") : r.goal)
          << (!r.met   ? QStringLiteral("-")
              : quick  ? QStringLiteral("(quick)")
              : *r.met ? QStringLiteral("yes")
                       : QStringLiteral("NO"))
          << r.note;
        table.push_back(c);
    }
    std::vector<int> width(head.size(), 0);
    auto widen = [&](const QStringList& c) {
        for (qsizetype i = 0; i < c.size(); ++i)
            width[size_t(i)] = std::max(width[size_t(i)], static_cast<int>(c[i].size()));
    };
    widen(head);
    for (const auto& c : table) widen(c);
    auto line = [&](const QStringList& c) {
        QString out;
        for (qsizetype i = 0; i < c.size(); ++i) {
            const bool number = i >= 3 && i <= 11;
            const int w = width[size_t(i)];
            out += (number ? c[i].rightJustified(w) : c[i].leftJustified(w));
            if (i + 1 < c.size()) out += QStringLiteral(" | ");
        }
        std::printf("%s\n", qPrintable(out.trimmed()));
    };
    std::printf("%s\n",
                quick ? "PAYDESK bench (quick: small sizes, correctness only)" : "PAYDESK bench");
    line(head);
    QStringList rule;
    for (int w : width) rule << QString(w, u'-');
    line(rule);
    for (const auto& c : table) line(c);
}

// ---- the child that measures the payer grid's memory

int gridMemory(const QString& serversDir, const QString& database, const QString& service,
               int expect) {
    ConnectionSettings db = serverFrom(serversDir);
    db.database = database;
    app::DeploymentConfig config;
    config.base = db;
    QuietMessages messages;
    TDM dm(config, messages);
    dm.setWaiter([](int) {});
    DM = &dm;
    platform::ui::DataGrid grid;
    bench::buildPayerGrid(&grid);
    grid.resize(437, 460);
    grid.show();
    QCoreApplication::processEvents();
    std::vector<payers::Payer> list;
    {
        Connection c(DM->UniBase);
        if (!DM->Fn_Dynamic_DB_Connect(c)) return 2;
        list = payers::fetchPayerList(c, service, false, payers::PayerSort::ByName);
    }
    bench::fillPayerGrid(&grid, list);
    list.clear();
    list.shrink_to_fit();
    QCoreApplication::processEvents();
    DM = nullptr;
    if (grid.recordCount() != expect) {
        std::fprintf(stderr, "grid-memory: %d rows, expected %d\n", grid.recordCount(), expect);
        return 3;
    }
    std::printf("grid-memory %d %.0f\n", grid.recordCount(), peakRssMb() * 1024.0);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& msg) {
        if (type != QtDebugMsg && !msg.startsWith(QStringLiteral("This plugin does not support")))
            std::fprintf(stderr, "%s\n", qPrintable(msg));
    });
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    auto value = [&](const QString& name) {
        const qsizetype i = args.indexOf(name);
        return i >= 0 && i + 1 < args.size() ? args[i + 1] : QString();
    };
    const QString servers = value(QStringLiteral("--servers"));
    try {
        if (args.contains(QStringLiteral("--grid-memory")))
            return gridMemory(servers, value(QStringLiteral("--database")),
                              value(QStringLiteral("--service")),
                              value(QStringLiteral("--expect")).toInt());
        if (servers.isEmpty()) {
            std::fprintf(stderr,
                         "usage: paydesk_bench --servers DIR --paydesk EXE --min-window EXE "
                         "[--quick] [--runs N] [--only a,b] [--scale F] [--delay-ms RTT]\n");
            return 2;
        }
        const bool quick = args.contains(QStringLiteral("--quick"));
        Sizes sizes = quick ? quickSizes() : Sizes();
        if (const QString scale = value(QStringLiteral("--scale")); !scale.isEmpty()) {
            // Smaller data sets for trying things out; the figures of record use 1.
            const double f = scale.toDouble();
            for (int* n : {&sizes.store, &sizes.payerList, &sizes.requestList, &sizes.beneficiaries,
                           &sizes.file, &sizes.smallFile, &sizes.gridMemory})
                *n = std::max(10, static_cast<int>(*n * f));
        }
        if (const QString delay = value(QStringLiteral("--delay-ms")); !delay.isEmpty())
            sizes.oneWayDelayMs = delay.toInt() / 2;
        if (const QString runs = value(QStringLiteral("--runs")); !runs.isEmpty())
            sizes.runs = std::max(1, runs.toInt());
        const ConnectionSettings server = serverFrom(servers);
        const QString database =
            quick ? QStringLiteral("paydesk_bench_quick") : QStringLiteral("paydesk_bench");
        std::fprintf(stderr, "loading the data sets into %s\n", qPrintable(database));
        const ConnectionSettings db = loadData(server, database, sizes);
        Bench bench(server, db, sizes, value(QStringLiteral("--paydesk")),
                    value(QStringLiteral("--min-window")), servers, quick);
        bench.only = value(QStringLiteral("--only")).split(u',', Qt::SkipEmptyParts);
        bench.runAll();
        printTable(bench.rows, quick);
        if (!args.contains(QStringLiteral("--keep"))) {
            Connection admin(server);
            admin.open();
            admin.executeRaw(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(database));
        }
        if (!bench.failures.isEmpty()) {
            std::fprintf(stderr, "%lld operations gave wrong results:\n",
                         static_cast<long long>(bench.failures.size()));
            for (const QString& f : bench.failures) std::fprintf(stderr, "  %s\n", qPrintable(f));
            return 1;
        }
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "paydesk_bench: %s\n", e.what());
        return 1;
    }
}
