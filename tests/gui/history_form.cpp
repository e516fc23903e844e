// The withdrawal history driven through its named widgets: the month range, the loads, the
// footer, sorting and filtering, and the Excel output read back from the written file.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include "app/clock.h"
#include "app/data_module.h"
#include "app/indicator.h"
#include "app/main_window.h"
#include "app/session.h"
#include "app/single_instance.h"
#include "billing/history_form.h"
#include "platform/ui/column_filter.h"
#include "platform/ui/data_grid.h"
#include "platform/ui/date_edit.h"
#include "tests/support/message_recorder.h"
#include "tests/support/test_env.h"

void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

using namespace testsupport;
using platform::ui::MsgIcon;

namespace {

const char* kData =
    "insert into cms_user (serviceid, userid, username, bankcode, account, accountname, stat, "
    "startdate, enddate) values "
    "('S1','0000000001','홍길동','088','110-1','홍길동','등록완료','2019-01-01','9999-99-99'),"
    "('S1','0000000002','김영희','004','220-2','김영희','해지대기','2019-01-01','2024-05-10'),"
    "('S1','0000000003','박철수','088','330-3','박부인','등록대기','9999-99-99','9999-99-99'),"
    "('S2','0000000001','타회사','088','999','타회사','등록완료','2019-01-01','9999-99-99');\n"
    "insert into cms_bill (serviceid, userid, billdate, amount, stat) values "
    "('S1','0000000001','2024-05-01',10000,'발송대기'),"
    "('S1','0000000001','2024-05-15',15000,'발송대기'),"
    "('S1','0000000001','2024-05-31',1234567,'발송대기'),"
    "('S1','0000000001','2024-06-01',99,'발송대기'),"
    "('S1','0000000002','2024-05-10',20000,'발송대기'),"
    "('S2','0000000001','2024-05-10',55555,'발송대기');\n"
    "insert into cms_bill_his (serviceid, userid, billdate, resultamount, resultname) values "
    "('S1','0000000001','2024-05-01',10000,'출금성공'),"
    "('S1','0000000002','2024-05-10',0,'잔액부족');\n";

template <class F>
bool waitUntil(F done, int ms = 5000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) QTest::qWait(10);
    return done();
}

// Reads an .xlsx file back with the standard library of Python: sheet names, and per row the
// cells with their value (text, number or null) and number format.
QJsonObject readWorkbook(const QString& path) {
    static const char* script = R"(
import sys, zipfile, json, re
import xml.etree.ElementTree as ET
M = '{http://schemas.openxmlformats.org/spreadsheetml/2006/main}'
z = zipfile.ZipFile(sys.argv[1])
sheets = [s.get('name') for s in ET.fromstring(z.read('xl/workbook.xml')).iter(M + 'sheet')]
strings = []
if 'xl/sharedStrings.xml' in z.namelist():
    for si in ET.fromstring(z.read('xl/sharedStrings.xml')).iter(M + 'si'):
        strings.append(''.join(t.text or '' for t in si.iter(M + 't')))
styles = ET.fromstring(z.read('xl/styles.xml'))
formats = {3: '#,##0'}
for f in styles.iter(M + 'numFmt'):
    formats[int(f.get('numFmtId'))] = f.get('formatCode')
xfs = [int(x.get('numFmtId', '0')) for x in styles.find(M + 'cellXfs').findall(M + 'xf')]
out = []
for row in ET.fromstring(z.read('xl/worksheets/sheet1.xml')).iter(M + 'row'):
    cells = {}
    for c in row.findall(M + 'c'):
        letters = re.match('[A-Z]+', c.get('r')).group(0)
        col = 0
        for ch in letters:
            col = col * 26 + ord(ch) - 64
        v = c.find(M + 'v')
        t = c.get('t')
        if v is None:
            value = None
        elif t == 's':
            value = strings[int(v.text)]
        elif t in ('str', 'inlineStr'):
            value = v.text
        else:
            value = float(v.text)
        fmt = formats.get(xfs[int(c.get('s', '0'))], '')
        cells[col - 1] = {'v': value, 'f': fmt}
    width = max(cells) + 1 if cells else 0
    out.append([cells.get(i, {'v': None, 'f': ''}) for i in range(width)])
print(json.dumps({'sheets': sheets, 'rows': out}, ensure_ascii=False))
)";
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PYTHONIOENCODING"), QStringLiteral("utf-8"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral("/usr/bin/python3"),
            {QStringLiteral("-c"), QString::fromUtf8(script), path});
    EXPECT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

class HistoryForm : public ::testing::Test {
protected:
    void SetUp() override {
        resetDatabases();
        exec(baseDb(), QString::fromUtf8(kData));
        app::session() = {};
        app::session().serviceid = QStringLiteral("S1");
        dm = std::make_unique<TDM>(world().config, recorder);
        dm->setWaiter([this](int ms) {
            if (ms == 300) ++loads;
        });
        dm->setClock(clock);
        DM = dm.get();
    }
    void TearDown() override {
        delete form;
        app::PR_Set_UI_IndicoatorOFF();
        DM = nullptr;
        dm.reset();
    }
    Tfrm003& open() {
        form = new Tfrm003;
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form));
        EXPECT_TRUE(waitUntil([&] { return loads >= 1; }));
        return *form;
    }
    platform::ui::DataGrid& grid() { return *form->grd_Bill; }
    QStringList shown(const QString& column) {
        QStringList out;
        for (int r : grid().visibleRecords()) out << grid().displayText(r, column);
        return out;
    }

    MessageRecorder recorder;
    app::FixedClock clock{QDateTime(QDate(2024, 5, 17), QTime(11, 0))};
    std::unique_ptr<TDM> dm;
    int loads = 0;
    QPointer<Tfrm003> form;
};

TEST_F(HistoryForm, OpensOnTheCurrentMonthAndLoadsOnce) {
    Tfrm003& f = open();
    EXPECT_EQ(f.windowTitle(), QStringLiteral("출금내역조회"));
    EXPECT_EQ(f.date_from->lineEdit()->text(), QStringLiteral("2024.05.01"));
    EXPECT_EQ(f.date_To->lineEdit()->text(), QStringLiteral("2024.05.31"));
    QTest::qWait(300);
    EXPECT_EQ(loads, 1);
    EXPECT_FALSE(grid().isColumnVisible("grd_Bill_Bankcode"));
    // Three requests of one payer (the 31st included), one of a cancelled payer, one payer
    // without a request.
    EXPECT_EQ(shown("grd_Bill_BillDate"),
              (QStringList{"2024-05-01", "2024-05-15", "2024-05-31", "2024-05-10", ""}));
    EXPECT_EQ(shown("grd_Bill_ID"),
              (QStringList{"0000000001", "0000000001", "0000000001", "0000000002", "0000000003"}));
    EXPECT_EQ(shown("grd_Bill_BankName"),
              (QStringList{"신한은행", "신한은행", "신한은행", "국민은행", "신한은행"}));
    EXPECT_EQ(shown("grd_Bill_Amount"),
              (QStringList{"10,000", "15,000", "1,234,567", "20,000", "0"}));
    EXPECT_EQ(shown("grd_Bill_ResultAmount"), (QStringList{"10,000", "0", "0", "0", "0"}));
    EXPECT_EQ(shown("grd_Bill_Result"), (QStringList{"출금성공", "", "", "잔액부족", ""}));
    EXPECT_EQ(grid().footerText("grd_Bill_User"), QStringLiteral("5 건"));
    EXPECT_EQ(grid().footerText("grd_Bill_Amount"), QStringLiteral("1,279,567 원"));
    EXPECT_EQ(grid().footerText("grd_Bill_ResultAmount"), QStringLiteral("10,000 원"));
    EXPECT_TRUE(recorder.empty());
}

TEST_F(HistoryForm, EachDateChangeLoadsAgain) {
    Tfrm003& f = open();
    loads = 0;
    f.date_from->setDate(QDate(2024, 5, 20));
    f.date_To->setDate(QDate(2024, 6, 30));
    EXPECT_EQ(loads, 2);
    EXPECT_EQ(shown("grd_Bill_BillDate"), (QStringList{"2024-05-31", "2024-06-01", "", ""}));
    // A start after the end: every payer once, without a request.
    f.date_from->setDate(QDate(2024, 7, 1));
    EXPECT_EQ(shown("grd_Bill_ID"), (QStringList{"0000000001", "0000000002", "0000000003"}));
    EXPECT_EQ(shown("grd_Bill_BillDate"), (QStringList{"", "", ""}));
    EXPECT_EQ(grid().footerText("grd_Bill_Amount"), QStringLiteral("0 원"));
}

TEST_F(HistoryForm, ExcelOutputHoldsWhatTheGridShows) {
    open();
    grid().sortBy("grd_Bill_Amount", Qt::DescendingOrder);
    grid().setFilter(
        platform::ui::ColumnFilter(QStringLiteral("grd_Bill_BankName"),
                                   {platform::ui::FilterOp::Equal, QStringLiteral("신한은행")}));
    ASSERT_EQ(grid().visibleCount(), 4);

    const QString path = freshDir(QStringLiteral("excel")) + QStringLiteral("/내역.xlsx");
    recorder.queueFile(path);
    QTest::mouseClick(form->bt_NewMember, Qt::LeftButton);
    ASSERT_EQ(recorder.entries().size(), 2u);
    EXPECT_EQ(recorder.entries()[0].kind, MessageRecorder::Entry::Kind::SaveFile);
    EXPECT_EQ(recorder.entries()[0].text, QStringLiteral("출금내역_20240501-20240531.xlsx"));
    EXPECT_EQ(recorder.last().text, QStringLiteral("엑셀 파일을 저장했습니다."));

    const QJsonObject book = readWorkbook(path);
    EXPECT_EQ(book["sheets"].toArray().first().toString(), QStringLiteral("출금내역"));
    const QJsonArray rows = book["rows"].toArray();
    const platform::ui::GridExport view = grid().exportView();
    ASSERT_EQ(rows.size(), 1 + grid().visibleCount() + 1);

    // Header: the captions of the visible columns, the hidden bank code left out.
    QStringList captions;
    for (const auto& cell : rows[0].toArray()) captions << cell.toObject()["v"].toString();
    EXPECT_EQ(captions, (QStringList{"요청일자", "사용자아이디", "사용자명", "출금은행", "계좌번호",
                                     "예금주명", "요청금액", "출금금액", "결과"}));

    // Rows: in the order and with the values shown; amounts as numbers with separators.
    const std::vector<int> records = grid().visibleRecords();
    for (size_t i = 0; i < records.size(); ++i) {
        const QJsonArray cells = rows[static_cast<int>(i) + 1].toArray();
        for (size_t c = 0; c < view.columns.size(); ++c) {
            const QString column = view.columns[c].name;
            const QJsonObject cell = cells.at(static_cast<int>(c)).toObject();
            if (view.columns[c].numeric) {
                EXPECT_EQ(cell["v"].toDouble(), double(grid().number(records[i], column)))
                    << i << " " << column.toStdString();
                EXPECT_EQ(cell["f"].toString(), QStringLiteral("#,##0"));
            } else {
                EXPECT_EQ(cell["v"].toString(), grid().displayText(records[i], column))
                    << i << " " << column.toStdString();
            }
        }
    }
    EXPECT_EQ(rows[1].toArray().at(6).toObject()["v"].toDouble(), 1234567.0);
    EXPECT_EQ(rows[4].toArray().at(0).toObject()["v"], QJsonValue(QJsonValue::Null))
        << "the payer without a request has no date";

    // Totals: the footer of the shown rows.
    const QJsonArray totals = rows.last().toArray();
    EXPECT_EQ(totals.at(0).toObject()["v"].toString(), QStringLiteral("합계"));
    EXPECT_EQ(totals.at(2).toObject()["v"].toDouble(), 4.0);
    EXPECT_EQ(totals.at(2).toObject()["f"].toString(), QStringLiteral("#,##0\" 건\""));
    EXPECT_EQ(totals.at(6).toObject()["v"].toDouble(), 1259567.0);
    EXPECT_EQ(totals.at(6).toObject()["f"].toString(), QStringLiteral("#,##0\" 원\""));
    EXPECT_EQ(totals.at(7).toObject()["v"].toDouble(), 10000.0);
    EXPECT_EQ(grid().footerText("grd_Bill_Amount"), QStringLiteral("1,259,567 원"));
}

TEST_F(HistoryForm, ExcelOutputWritesNothingWithoutRowsOrChoice) {
    open();
    const QString dir = freshDir(QStringLiteral("excel-none"));
    // Cancelled dialog: nothing written, nothing said.
    recorder.queueFile(QString());
    QTest::mouseClick(form->bt_NewMember, Qt::LeftButton);
    ASSERT_EQ(recorder.entries().size(), 1u);
    EXPECT_EQ(recorder.last().kind, MessageRecorder::Entry::Kind::SaveFile);

    // A folder that does not exist: an error, no file.
    recorder.clear();
    recorder.queueFile(dir + QStringLiteral("/missing/내역.xlsx"));
    QTest::mouseClick(form->bt_NewMember, Qt::LeftButton);
    ASSERT_EQ(recorder.boxes().size(), 1u);
    EXPECT_EQ(recorder.last().icon, MsgIcon::Error);

    // An earlier file at the chosen path is replaced as a whole; nothing else stays beside it.
    recorder.clear();
    const QString path = dir + QStringLiteral("/내역");
    recorder.queueFile(path);
    QTest::mouseClick(form->bt_NewMember, Qt::LeftButton);
    EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden), QStringList{"내역.xlsx"});

    // No rows shown: nothing to write, no dialog.
    grid().setFilter(
        platform::ui::ColumnFilter(QStringLiteral("grd_Bill_Result"),
                                   {platform::ui::FilterOp::Equal, QStringLiteral("없는결과")}));
    recorder.clear();
    QTest::mouseClick(form->bt_NewMember, Qt::LeftButton);
    ASSERT_EQ(recorder.entries().size(), 1u);
    EXPECT_EQ(recorder.last().kind, MessageRecorder::Entry::Kind::Box);
    EXPECT_EQ(recorder.last().text, QStringLiteral("출력할 자료가 없습니다."));
}

TEST_F(HistoryForm, RibbonCommandOpensOneInstance) {
    qputenv("PAYDESK_DESKTOP_DIR", freshDir(QStringLiteral("desktop")).toUtf8());
    std::unique_ptr<TfrmMain> main(new TfrmMain);
    main->show();
    main->runCommand(TfrmMain::Command::History);
    ASSERT_NE(frm003, nullptr);
    QPointer<Tfrm003> first = frm003;
    auto* sub = qobject_cast<QMdiSubWindow*>(app::formWindow(first));
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->geometry(), QRect(0, 0, Tfrm003::kWidth, Tfrm003::kHeight));
    main->runCommand(TfrmMain::Command::History);
    EXPECT_EQ(frm003, first.data());
    EXPECT_EQ(main->mdiArea()->subWindowList().size(), 1);
    sub->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(frm003, nullptr);
    EXPECT_TRUE(first.isNull());
}

}  // namespace
