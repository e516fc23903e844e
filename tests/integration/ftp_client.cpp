// The file server layer against the real FTP server of the test run.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <functional>

#include "app/data_module.h"
#include "platform/ftp/ftp_client.h"
#include "tests/support/message_recorder.h"
#include "tests/support/test_env.h"

using platform::ftp::FtpClient;
using platform::ftp::FtpError;
using platform::ftp::FtpSettings;
using testsupport::world;

namespace {

const QString kConnectFailed = QStringLiteral("파일 서버 연결에 실패했습니다.");

QStringList documentNames() {
    return {QStringLiteral("출금동의서(회원).DOC"),
            QStringLiteral("DEBITON사용신청서.DOC"),
            QStringLiteral("개인사업자용_고객거래확인서_실제소유자확인서.DOC"),
            QStringLiteral("법인단체사업자용_고객거래확인서_실제소유자확인서.DOC"),
            QStringLiteral("개인사업자용_고객거래확인서_실제소유자확인서_샘플.DOC"),
            QStringLiteral("법인단체_사업자용_고객거래확인서_실제소유자확인서_샘플.DOC")};
}

QStringList sorted(QStringList l) {
    l.sort();
    return l;
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return QByteArray("<unreadable>");
    return f.readAll();
}

void writeFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(data);
}

// Every byte value, the line ends a text-mode transfer would rewrite, and enough bulk to take
// several data packets.
QByteArray binaryPayload() {
    QByteArray b;
    for (int i = 0; i < 256; ++i) b.append(static_cast<char>(i));
    b.append("\r\n\n\r\r\n", 6);
    b.append('\0');
    b.append('\xff');
    quint32 x = 2463534242u;
    while (b.size() < 300 * 1024) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b.append(static_cast<char>(x & 0xff));
    }
    b.append("\r\n", 2);
    return b;
}

class FtpClientTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testsupport::resetFtp();
        dm = std::make_unique<TDM>(world().config, recorder);
    }

    // A per-transfer client: the five settings of the FTP template, connected through the
    // data module.
    std::unique_ptr<FtpClient> connectedClient() {
        auto c = std::make_unique<FtpClient>(dm->FTP);
        EXPECT_TRUE(dm->Fn_Dynamic_FTP_Connect(*c));
        EXPECT_TRUE(recorder.empty()) << recorder.texts().join(u'|').toStdString();
        return c;
    }

    QString home(const QString& rel = {}) const {
        return rel.isEmpty() ? world().ftpHome : world().ftpHome + u'/' + rel;
    }

    testsupport::MessageRecorder recorder;
    std::unique_ptr<TDM> dm;
};

TEST_F(FtpClientTest, ConnectsAndReadsTheApplicationDocuments) {
    auto c = connectedClient();
    EXPECT_TRUE(c->isConnected());
    // A multi-line reply comes back whole, as one reply.
    const auto features = c->sendCommand(QStringLiteral("FEAT"));
    EXPECT_EQ(features.code, 211);
    EXPECT_TRUE(features.text.contains(QStringLiteral("UTF8"))) << features.text.toStdString();
    EXPECT_TRUE(features.text.endsWith(QStringLiteral("End FEAT."))) << features.text.toStdString();
    c->changeDir(QStringLiteral("DEBITON"));
    c->changeDir(QStringLiteral("신청서"));
    EXPECT_EQ(sorted(c->list()), sorted(documentNames()));

    const QString name = QStringLiteral("출금동의서(회원).DOC");
    const QString local =
        testsupport::freshDir(QStringLiteral("docs")) + QStringLiteral("/양식.DOC");
    c->get(name, local);
    EXPECT_EQ(readFile(local), testsupport::documentContent(name));
    EXPECT_EQ(c->size(name), testsupport::documentContent(name).size());
}

TEST_F(FtpClientTest, RefusedUtf8OptionStillConnects) {
    FtpSettings s = dm->FTP;
    s.user = QStringLiteral("noopts_") + world().ftpUser;
    QDir(world().ftpHome + QStringLiteral("/../") + s.user).removeRecursively();

    FtpClient c(s);
    EXPECT_TRUE(dm->Fn_Dynamic_FTP_Connect(c));
    EXPECT_TRUE(recorder.empty()) << recorder.texts().join(u'|').toStdString();
    ASSERT_TRUE(c.isConnected());

    // The raw command reports the refusal instead of throwing, and the session goes on.
    const auto reply = c.sendCommand(QStringLiteral("OPTS utf8 ON"));
    EXPECT_GE(reply.code, 500);
    EXPECT_FALSE(reply.text.isEmpty());
    c.makeDir(QStringLiteral("출금동의서"));
    c.changeDir(QStringLiteral("출금동의서"));
    EXPECT_TRUE(c.list().isEmpty());
}

TEST_F(FtpClientTest, FailedConnectShowsOneMessageAndGivesFalse) {
    const struct {
        const char* what;
        std::function<void(FtpSettings&)> spoil;
    } cases[] = {
        {"wrong password", [](FtpSettings& s) { s.password += QStringLiteral("x"); }},
        {"unknown user name", [](FtpSettings& s) { s.user = QStringLiteral("no user"); }},
        {"nothing listening", [](FtpSettings& s) { s.port = 1; }},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        recorder.clear();
        FtpSettings s = dm->FTP;
        k.spoil(s);
        FtpClient c(s);
        EXPECT_FALSE(dm->Fn_Dynamic_FTP_Connect(c));
        EXPECT_FALSE(c.isConnected());
        ASSERT_EQ(recorder.boxes().size(), 1u);
        EXPECT_EQ(recorder.last().text, kConnectFailed);
        EXPECT_EQ(recorder.last().icon, platform::ui::MsgIcon::None);
        EXPECT_EQ(recorder.last().buttons, platform::ui::MsgButtons::Ok);
        EXPECT_THROW(c.list(), FtpError);
    }
}

TEST_F(FtpClientTest, WrongPasswordCarriesTheServersText) {
    FtpSettings s = dm->FTP;
    s.password += QStringLiteral("x");
    FtpClient c(s);
    try {
        c.connect();
        FAIL() << "login with a wrong password succeeded";
    } catch (const FtpError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("Authentication failed")))
            << e.message().toStdString();
    }
}

TEST_F(FtpClientTest, ReconnectingStartsAgainInTheLoginFolder) {
    auto c = connectedClient();
    c->changeDir(QStringLiteral("DEBITON"));
    EXPECT_TRUE(dm->Fn_Dynamic_FTP_Connect(*c));
    EXPECT_EQ(c->list(), QStringList{QStringLiteral("DEBITON")});
}

TEST_F(FtpClientTest, MakingAnExistingFolderRaisesAndTheSessionGoesOn) {
    auto c = connectedClient();
    EXPECT_THROW(c->makeDir(QStringLiteral("DEBITON")), FtpError);
    c->changeDir(QStringLiteral("DEBITON"));
    c->makeDir(QStringLiteral("0000000042"));
    EXPECT_THROW(c->makeDir(QStringLiteral("0000000042")), FtpError);
    c->changeDir(QStringLiteral("0000000042"));
    c->makeDir(QStringLiteral("출금동의서"));
    EXPECT_TRUE(QDir(home(QStringLiteral("DEBITON/0000000042/출금동의서"))).exists());
    EXPECT_EQ(c->list(), QStringList{QStringLiteral("출금동의서")});
}

TEST_F(FtpClientTest, MissingFolderRaisesTheServersTextAndKeepsTheFolder) {
    auto c = connectedClient();
    c->changeDir(QStringLiteral("DEBITON"));
    try {
        c->changeDir(QStringLiteral("없는폴더"));
        FAIL() << "changed into a missing folder";
    } catch (const FtpError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("No such file or directory")))
            << e.message().toStdString();
    }
    EXPECT_EQ(c->list(), QStringList{QStringLiteral("신청서")});
    c->changeDir(QStringLiteral("신청서"));
    EXPECT_EQ(c->list().size(), documentNames().size());
}

TEST_F(FtpClientTest, HangulFileRoundTripIsByteExact) {
    const QString folder = QStringLiteral("DEBITON/SVC0001/출금동의서/0000000001");
    QDir().mkpath(home(folder));
    const struct {
        QString name;
        QByteArray payload;
    } files[] = {
        {QStringLiteral("동의서 홍길동_001.JPG"), binaryPayload()},
        {QStringLiteral("빈 파일.JPG"), QByteArray()},
    };
    const QString dir = testsupport::freshDir(QStringLiteral("roundtrip"));

    auto c = connectedClient();
    for (const QString& level : folder.split(u'/')) c->changeDir(level);
    for (const auto& f : files) {
        SCOPED_TRACE(f.name.toStdString());
        const QString source = dir + QStringLiteral("/원본 파일.bin");
        writeFile(source, f.payload);
        c->put(source, f.name);
        EXPECT_EQ(readFile(home(folder + u'/' + f.name)), f.payload);  // where the client was
        EXPECT_EQ(c->list(), QStringList{f.name});
        EXPECT_EQ(c->size(f.name), f.payload.size());

        const QString copy = dir + QStringLiteral("/받은 파일.JPG");
        c->get(f.name, copy);
        EXPECT_EQ(readFile(copy), f.payload);

        c->remove(f.name);
        EXPECT_FALSE(QFile::exists(home(folder + u'/' + f.name)));
        EXPECT_TRUE(c->list().isEmpty());
        EXPECT_THROW(c->size(f.name), FtpError);
        EXPECT_THROW(c->remove(f.name), FtpError);
    }
}

TEST_F(FtpClientTest, FailedDownloadKeepsTheLocalFile) {
    const QString local = testsupport::freshDir(QStringLiteral("keep")) + QStringLiteral("/a.JPG");
    writeFile(local, "earlier copy");
    auto c = connectedClient();
    c->changeDir(QStringLiteral("DEBITON"));
    try {
        c->get(QStringLiteral("없는파일.JPG"), local);
        FAIL() << "downloaded a missing file";
    } catch (const FtpError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("없는파일.JPG")))
            << e.message().toStdString();
    }
    EXPECT_EQ(readFile(local), QByteArray("earlier copy"));
    EXPECT_EQ(QDir(QFileInfo(local).path()).entryList(QDir::Files),
              QStringList{QStringLiteral("a.JPG")});
    EXPECT_THROW(c->put(local + QStringLiteral(".missing"), QStringLiteral("x.JPG")), FtpError);
    EXPECT_EQ(c->list(), QStringList{QStringLiteral("신청서")});
}

TEST_F(FtpClientTest, NamesWithLineBreaksNeverReachTheServer) {
    QDir().mkpath(home(QStringLiteral("DEBITON/x")));
    writeFile(home(QStringLiteral("DEBITON/keep.JPG")), "data");
    auto c = connectedClient();
    c->changeDir(QStringLiteral("DEBITON"));
    EXPECT_THROW(c->remove(QStringLiteral("x\r\nDELE keep.JPG")), FtpError);
    EXPECT_THROW(c->sendCommand(QStringLiteral("NOOP\r\nDELE keep.JPG")), FtpError);
    EXPECT_THROW(c->makeDir(QStringLiteral("a\nb")), FtpError);
    EXPECT_THROW(c->changeDir(QStringLiteral("x/../..")), FtpError);
    EXPECT_TRUE(QFile::exists(home(QStringLiteral("DEBITON/keep.JPG"))));
    EXPECT_EQ(c->size(QStringLiteral("keep.JPG")), 4);
}

TEST_F(FtpClientTest, ListedNamesThatLeaveTheFolderAreRefused) {
    // Names a Unix server can hold but that must not be written into a local folder.
    const QStringList hostile = {QStringLiteral("..\\x.JPG"), QStringLiteral("C:x.JPG")};
    for (const QString& n : hostile) writeFile(home(QStringLiteral("DEBITON/") + n), "x");
    writeFile(home(QStringLiteral("DEBITON/0000000001_001.JPG")), "x");

    auto c = connectedClient();
    c->changeDir(QStringLiteral("DEBITON"));
    const QStringList listed = c->list();
    EXPECT_EQ(sorted(listed), sorted(hostile + QStringList{QStringLiteral("0000000001_001.JPG"),
                                                           QStringLiteral("신청서")}));
    for (const QString& n : listed) {
        SCOPED_TRACE(n.toStdString());
        if (hostile.contains(n))
            EXPECT_THROW(platform::ftp::checkedListedName(n), FtpError);
        else
            EXPECT_EQ(platform::ftp::checkedListedName(n), n);
    }
}

TEST_F(FtpClientTest, UnconnectedClientRaises) {
    FtpClient c(dm->FTP);
    const QString local = testsupport::freshDir(QStringLiteral("none")) + QStringLiteral("/f");
    writeFile(local, "x");
    const std::function<void()> ops[] = {
        [&] { c.sendCommand(QStringLiteral("NOOP")); },
        [&] { c.changeDir(QStringLiteral("DEBITON")); },
        [&] { c.makeDir(QStringLiteral("x")); },
        [&] { c.list(); },
        [&] { c.size(QStringLiteral("x")); },
        [&] { c.remove(QStringLiteral("x")); },
        [&] { c.get(QStringLiteral("x"), local); },
        [&] { c.put(local, QStringLiteral("x")); },
    };
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round == 0 ? "never connected" : "after disconnect");
        for (size_t i = 0; i < std::size(ops); ++i) {
            SCOPED_TRACE(i);
            EXPECT_THROW(ops[i](), FtpError);
        }
        c.connect();
        c.disconnect();
        EXPECT_FALSE(c.isConnected());
    }
    EXPECT_EQ(readFile(local), QByteArray("x"));
    EXPECT_FALSE(QFile::exists(home(QStringLiteral("x"))));
}

}  // namespace
