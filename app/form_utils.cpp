#include "app/form_utils.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QHash>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>

#include "platform/codepage/codepage.h"
#include "platform/ime/input_mode.h"

namespace app {

QString pr_Get_Value_FormatStr(const QString& pr_Str, int pr_Length) {
    if (pr_Length <= 0) return {};
    const QByteArray bytes = platform::codepage::toCp949(pr_Str);
    // Walk whole characters so that a trail byte in the lead-byte range is never taken for
    // the start of a character.
    qsizetype taken = 0;
    while (taken < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[taken]);
        const qsizetype width = platform::codepage::isCp949LeadByte(lead) ? 2 : 1;
        if (taken + width > pr_Length) break;
        taken += width;
    }
    QString out = platform::codepage::fromCp949(bytes.left(taken));
    out += QString(pr_Length - static_cast<int>(taken), u' ');
    return out;
}

QString pr_Get_Value_FormatInt(const QString& pr_Str, int pr_Length) {
    const int length = platform::codepage::cp949Length(pr_Str);
    if (length >= pr_Length) return pr_Str;
    return QString(pr_Length - length, u'0') + pr_Str;
}

const QStringList& mem_BaseBank() {
    static const QStringList lines = {
        QStringLiteral("(003)기업은행"),   QStringLiteral("(004)국민은행"),
        QStringLiteral("(005)외환은행"),   QStringLiteral("(007)수협"),
        QStringLiteral("(011)농협"),       QStringLiteral("(020)우리은행"),
        QStringLiteral("(023)제일은행"),   QStringLiteral("(027)씨티은행"),
        QStringLiteral("(031)대구은행"),   QStringLiteral("(032)부산은행"),
        QStringLiteral("(034)광주은행"),   QStringLiteral("(035)제주은행"),
        QStringLiteral("(037)전북은행"),   QStringLiteral("(039)경남은행"),
        QStringLiteral("(045)새마을금고"), QStringLiteral("(048)신협"),
        QStringLiteral("(071)우체국"),     QStringLiteral("(081)하나은행"),
        QStringLiteral("(088)신한은행"),
    };
    return lines;
}

QString Fn_Get_Code(const QString& Str, const QString& Delimiter1, const QString& Delimiter2) {
    // Positions count from 1, 0 meaning "absent"; an empty delimiter is never found.
    const auto position = [&Str](const QString& d) -> qsizetype {
        return d.isEmpty() ? 0 : Str.indexOf(d) + 1;
    };
    const qsizetype p1 = position(Delimiter1);
    const qsizetype p2 = position(Delimiter2);
    const qsizetype count = p2 - p1 - 1;
    if (count <= 0) return {};
    return Str.mid(p1, count);
}

QString Fn_Get_Value_BankName(const QString& pr_BankCode) {
    // Built once from the fixed bank list: the grids ask for a name on every row they fill.
    static const QHash<QString, QString> names = [] {
        QHash<QString, QString> byCode;
        for (const QString& line : mem_BaseBank())
            byCode.insert(Fn_Get_Code(line, QStringLiteral("("), QStringLiteral(")")),
                          line.mid(line.indexOf(u')') + 1).trimmed());
        return byCode;
    }();
    return names.value(pr_BankCode);
}

QString Fn_Get_ErrorType(const QString& Msg) {
    // Only ASCII letters are lowered: the server texts are English, the Korean ones must match
    // exactly.
    QString lower = Msg;
    for (QChar& c : lower)
        if (c >= u'A' && c <= u'Z') c = QChar(c.unicode() + (u'a' - u'A'));

    if (lower.contains(QLatin1String("duplicate entry")))
        return QStringLiteral("(데이터베이스) 중복 오류가 발생했습니다.");
    if (lower.contains(QLatin1String("cannot be null")))
        return QStringLiteral("(데이터베이스) 빈 값을 입력 할 수 없습니다.");
    if (lower.contains(QLatin1String("unknown column")))
        return QStringLiteral("(데이터베이스) 알 수 없는 칼럼이 사용 되었습니다.");
    if (lower == QStringLiteral("출력오류"))
        return QStringLiteral("(출력) 출력 작업 중 오류가 발생했습니다.");
    if (lower.contains(QLatin1String("data too long for column")))
        return QStringLiteral("(데이터베이스) 허용된 글자 길이를 초과했습니다.");
    if (lower == QStringLiteral("엑셀오류"))
        return QStringLiteral("(Excel) 엑셀 파일을 읽어오는 중 오류가 발생했습니다.");
    return Msg;
}

namespace {

// Exactly these classes: derived editors (currency, date, numeric boxes) keep their own mode.
bool isPlainTextEditor(const QWidget* w) {
    // The inner line edit of a spin box, date box or drop-down box belongs to that box.
    const QWidget* parent = w->parentWidget();
    if (qobject_cast<const QAbstractSpinBox*>(parent) || qobject_cast<const QComboBox*>(parent))
        return false;
    const QMetaObject* m = w->metaObject();
    return m == &QLineEdit::staticMetaObject || m == &QPlainTextEdit::staticMetaObject ||
           m == &QTextEdit::staticMetaObject || m == &QComboBox::staticMetaObject;
}

}  // namespace

void pr_Set_UI_ImeMode(QWidget* frm) {
    if (!frm) return;
    try {
        for (QWidget* w : frm->findChildren<QWidget*>()) {
            if (!isPlainTextEditor(w)) continue;
            // Password boxes take no input method at all.
            if (auto* e = qobject_cast<QLineEdit*>(w); e && e->echoMode() != QLineEdit::Normal)
                continue;
            if (platform::ime::inputMode(w) != platform::ime::InputMode::Default) continue;
            platform::ime::setInputMode(w, platform::ime::InputMode::Hangul);
            if (auto* c = qobject_cast<QComboBox*>(w); c && c->lineEdit())
                platform::ime::setInputMode(c->lineEdit(), platform::ime::InputMode::Hangul);
        }
    } catch (...) {
        // Input set-up is a convenience; a form works without it.
    }
}

}  // namespace app
