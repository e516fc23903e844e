// Withdrawal billing figures against a real MariaDB server:
//   - the request form loading the list of 5,000 payers and registering their amounts
//     (deadline check and store), through the form itself;
//   - the request file of 100,000 stored requests (query, build, write).
// Usage: billing_bench [SERVERS_DIR]
//   With SERVERS_DIR, uses the servers that tests/servers/servers.py started there
//   (servers.ini); without it, starts its own in a temporary folder and stops them at the end.
// Runs offscreen when no display is set.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

#include "app/clock.h"
#include "app/data_module.h"
#include "app/session.h"
#include "billing/billing_queries.h"
#include "billing/request_file.h"
#include "billing/request_file_writer.h"
#include "billing/request_form.h"
#include "platform/sql/connection.h"
#include "platform/sql/query.h"
#include "platform/ui/data_grid.h"
#include "platform/ui/date_edit.h"

namespace {

const QString kService = QStringLiteral("BENCH01");
const QString kScript = QStringLiteral(PAYDESK_SOURCE_DIR "/tests/servers/servers.py");

// Answers every box with OK and counts them; a benchmark has nobody to click.
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

int runServers(const QString& verb, const QString& dir) {
    std::fflush(stdout);
    return QProcess::execute(QStringLiteral("/usr/bin/python3"), {kScript, verb, dir});
}

platform::sql::ConnectionSettings serverFrom(const QString& dir) {
    QSettings in(dir + QStringLiteral("/servers.ini"), QSettings::IniFormat);
    platform::sql::ConnectionSettings s;
    s.host = in.value("db/host").toString();
    s.port = in.value("db/port").toInt();
    s.user = in.value("db/user").toString();
    s.password = in.value("db/password").toString();
    return s;
}

void execAll(platform::sql::Connection& c, const QString& sql) {
    for (const QString& statement : sql.split(QStringLiteral(";\n"), Qt::SkipEmptyParts))
        if (!statement.trimmed().isEmpty() && !statement.trimmed().startsWith(QStringLiteral("--")))
            c.executeRaw(statement);
}

// A fresh service database holding `payers` registered payers of kService.
platform::sql::ConnectionSettings freshDatabase(const platform::sql::ConnectionSettings& server,
                                                int payers) {
    platform::sql::Connection admin(server);
    admin.open();
    admin.executeRaw(QStringLiteral("DROP DATABASE IF EXISTS bench_billing"));
    admin.executeRaw(QStringLiteral("CREATE DATABASE bench_billing DEFAULT CHARACTER SET euckr"));
    auto db = server;
    db.database = QStringLiteral("bench_billing");
    platform::sql::Connection c(db);
    c.open();
    QFile schema(QStringLiteral(PAYDESK_SOURCE_DIR "/store/schema/service.sql"));
    if (!schema.open(QIODevice::ReadOnly)) throw std::runtime_error("cannot read the schema");
    QString text;
    for (const QString& line : QString::fromUtf8(schema.readAll()).split(u'\n'))
        if (!line.trimmed().startsWith(QStringLiteral("--"))) text += line + u'\n';
    execAll(c, text);

    platform::sql::Query q(c);
    q.setSql(QStringLiteral(
        "insert into cms_user (serviceid, userid, dlbid, username, bankcode, account, "
        "accountname, stat, startdate, enddate) values (:s, :u, :d, :n, '088', :a, :n, "
        "'등록완료', '2019-01-01', '9999-99-99')"));
    static const QString syllables = QStringLiteral("김이박최정강조윤장임한오서신권황안송류홍");
    std::vector<QStringList> rows;
    for (int i = 1; i <= payers; ++i) {
        const QString id = QStringLiteral("%1").arg(i, 10, 10, QLatin1Char('0'));
        const QString name = QString(syllables[i % syllables.size()]) +
                             syllables[(i / 7) % syllables.size()] +
                             syllables[(i / 49) % syllables.size()];
        rows.push_back(
            {kService, id, QStringLiteral("M%1").arg(i), name, QStringLiteral("110-%1").arg(i)});
    }
    q.executeBatch({"s", "u", "d", "n", "a"}, rows);
    return db;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void printFigure(const char* what, const std::vector<double>& ms) {
    std::printf("  %-52s %9.1f ms (median of %zu; best %.1f)\n", what, median(ms), ms.size(),
                *std::min_element(ms.begin(), ms.end()));
}

void benchForm(const platform::sql::ConnectionSettings& server, int payers, int rounds) {
    const auto db = freshDatabase(server, payers);
    app::DeploymentConfig config;
    config.base = db;
    config.institutionCode = QStringLiteral("99887766");
    QuietMessages messages;
    TDM dm(config, messages);
    dm.setWaiter([](int) {});
    // The local day is tomorrow, so the day's deadline by the server clock is never reached.
    app::FixedClock clock(QDateTime(QDate::currentDate().addDays(1), QTime(9, 0)));
    dm.setClock(clock);
    DM = &dm;
    app::session().serviceid = kService;

    auto* form = new Tfrm002;
    form->show();
    QCoreApplication::processEvents();
    std::vector<double> load, reg;
    for (int round = 0; round < rounds; ++round) {
        const QDate date = QDate::currentDate().addDays(10 + round);
        QElapsedTimer t;
        t.start();
        form->date_Date->setDate(date);  // the date change reloads the list
        load.push_back(t.nsecsElapsed() / 1e6);
        if (form->grd_Bill->recordCount() != payers) throw std::runtime_error("list incomplete");
        {
            platform::ui::DataGrid::Update u(form->grd_Bill);
            for (int r = 0; r < payers; ++r)
                form->grd_Bill->setValue(r, QStringLiteral("grd_Bill_Amount"), qint64(10000 + r));
        }
        messages.count = 0;
        t.restart();
        form->cxButton1Click();
        reg.push_back(t.nsecsElapsed() / 1e6);
        if (messages.last != QStringLiteral("저장이 완료되었습니다.") || messages.count != 1)
            throw std::runtime_error(("store failed: " + messages.last).toStdString());
    }
    delete form;
    DM = nullptr;
    std::printf("Request form, %d payers (bulk store: %s)\n", payers, [&] {
        platform::sql::Connection c(db);
        c.open();
        return c.supportsBulk() ? "yes" : "no";
    }());
    printFigure("load the list of a date (query + grid fill)", load);
    printFigure("register (deadline check + delete + inserts)", reg);
}

void benchFile(const platform::sql::ConnectionSettings& server, int records, int rounds) {
    const auto db = freshDatabase(server, records);
    {
        platform::sql::Connection c(db);
        c.open();
        std::vector<billing::StoreRow> rows;
        rows.reserve(static_cast<size_t>(records));
        for (int i = 1; i <= records; ++i) {
            billing::StoreRow r;
            r.userid = QStringLiteral("%1").arg(i, 10, 10, QLatin1Char('0'));
            r.bankcode = QStringLiteral("088");
            r.account = QStringLiteral("110-%1").arg(i);
            r.accountname = QStringLiteral("예금주");
            r.amount = 1000 + i;
            rows.push_back(r);
        }
        billing::storeBill(c, kService, QStringLiteral("2024-05-02"), rows);
    }
    QTemporaryDir folder;
    std::vector<double> whole, query, build;
    qint64 size = 0;
    for (int round = 0; round < rounds; ++round) {
        platform::sql::Connection c(db);
        c.open();
        QElapsedTimer t;
        t.start();
        const QString path = billing::createRequestFile(c, kService, QStringLiteral("2024-05-02"),
                                                        QStringLiteral("99887766"), folder.path());
        whole.push_back(t.nsecsElapsed() / 1e6);
        size = QFileInfo(path).size();

        t.restart();
        const auto recordsRead =
            billing::selectRequestRecords(c, kService, QStringLiteral("2024-05-02"));
        query.push_back(t.nsecsElapsed() / 1e6);
        t.restart();
        const QByteArray bytes =
            billing::RequestFileWriter(kService, QStringLiteral("99887766")).build(recordsRead);
        build.push_back(t.nsecsElapsed() / 1e6);
        if (bytes.size() != size) throw std::runtime_error("file sizes differ");
    }
    std::printf("Request file, %d records (%lld bytes)\n", records, static_cast<long long>(size));
    printFigure("write the file (query + build + write + rename)", whole);
    printFigure("  of which the query", query);
    printFigure("  of which building the records", build);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform complains about what it cannot do (raise the busy indicator).
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& msg) {
        if (type != QtDebugMsg && !msg.startsWith(QStringLiteral("This plugin does not support")))
            std::fprintf(stderr, "%s\n", qPrintable(msg));
    });
    QApplication app(argc, argv);

    QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    QTemporaryDir own;
    const bool started = dir.isEmpty();
    if (started) {
        dir = own.path() + QStringLiteral("/servers");
        std::printf("starting servers in %s\n", qPrintable(dir));
        if (runServers(QStringLiteral("start"), dir) != 0) {
            std::fprintf(stderr, "could not start the servers\n");
            return 1;
        }
    }
    int rc = 0;
    try {
        const auto server = serverFrom(dir);
        if (server.host.isEmpty()) throw std::runtime_error("no servers.ini in the servers folder");
        benchForm(server, 5000, 5);
        benchFile(server, 100000, 5);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "billing_bench: %s\n", e.what());
        rc = 1;
    }
    if (started) runServers(QStringLiteral("stop"), dir);
    return rc;
}
