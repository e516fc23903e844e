// What the payer form tests share: the data module on this test's servers with a recorder, a
// fixed local clock, the session of company S0001, and the payer list opened and loaded.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QTest>
#include <memory>

#include "app/clock.h"
#include "app/data_module.h"
#include "app/session.h"
#include "payers/payer_list.h"
#include "platform/ui/data_grid.h"
#include "platform/ui/load_timer.h"
#include "tests/support/message_recorder.h"
#include "tests/support/test_env.h"

namespace payertest {

inline const QString kSid = QStringLiteral("S0001");

class PayerGui : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::resetAll();
        dm = std::make_unique<TDM>(testsupport::world().config, recorder);
        DM = dm.get();
        dm->setWaiter([](int) {});
        dm->setClock(clock);
        app::session() = app::Session{};
        app::session().serviceid = kSid;
        programDir = testsupport::freshDir(QStringLiteral("program"));
        qputenv("PAYDESK_PROGRAM_DIR", programDir.toUtf8());
    }
    void TearDown() override {
        delete frm001;
        settle();
        app::session() = app::Session{};
        qunsetenv("PAYDESK_PROGRAM_DIR");
        DM = nullptr;
    }

    // Lets closed windows go away.
    static void settle() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    // Opens the payer list and waits for the load of its timer.
    Tfrm001* openList() {
        auto* f = new Tfrm001;
        f->show();
        EXPECT_TRUE(QTest::qWaitFor([f] { return !f->Timer1->isActive(); }, 5000));
        return f;
    }

    static void addPayer(const QString& userid, const QString& name, const QString& group = "A",
                         const QString& stat = QStringLiteral("등록완료"),
                         const QString& sid = kSid) {
        testsupport::exec(testsupport::baseDb(),
                          QStringLiteral("insert into cms_user (serviceid, userid, username, "
                                         "groupname, stat, bankcode) values "
                                         "('%1','%2','%3','%4','%5','004')")
                              .arg(sid, userid, name, group, stat));
    }

    static QStringList column(const platform::ui::DataGrid* g, const QString& name) {
        QStringList out;
        for (int r : g->visibleRecords()) out << g->displayText(r, name);
        return out;
    }

    // A small real JPEG of `w` × `h` pixels.
    static void writeJpeg(const QString& path, int w = 50, int h = 70, QColor c = Qt::red) {
        QImage img(w, h, QImage::Format_RGB32);
        img.fill(c);
        ASSERT_TRUE(img.save(path, "JPG")) << path.toStdString();
    }

    static void writeFile(const QString& path, const QByteArray& data) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
        f.write(data);
    }

    static QByteArray readFile(const QString& path) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) return QByteArray("<unreadable>");
        return f.readAll();
    }

    testsupport::MessageRecorder recorder;
    app::FixedClock clock{QDateTime(QDate(2020, 6, 15), QTime(10, 0))};
    std::unique_ptr<TDM> dm;
    QString programDir;
};

}  // namespace payertest
