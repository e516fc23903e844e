#include "signup/join_form.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>

#include "app/data_module.h"
#include "app/form_utils.h"
#include "app/theme.h"
#include "platform/ime/input_mode.h"
#include "platform/sql/connection.h"
#include "platform/sql/sql_error.h"
#include "platform/ui/caption_cell.h"
#include "signup/signup_queries.h"
#include "signup/terms_texts.h"
#include "store/vocabulary.h"

TfrmJoin* frmJoin = nullptr;

namespace {

const QString kNotice = QStringLiteral("알림");

bool isEnter(const QKeyEvent* k) {
    return k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
}

// A key whose text holds a character of code 127 or above (Hangul, DEL, ...).
bool isNonAscii(const QKeyEvent* k) {
    for (QChar c : k->text())
        if (c.unicode() >= 127) return true;
    return false;
}

QLabel* sectionLabel(const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setFont(app::theme::uiFont(14, true));
    l->setProperty(app::theme::kRoleProperty, QStringLiteral("heading"));
    return l;
}

platform::ui::CaptionCell* caption(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* c = new platform::ui::CaptionCell(text, parent);
    c->setColors(app::theme::kCaptionTop, app::theme::kCaptionBottom);
    c->setFixedSize(120, 26);
    if (buddy) c->setBuddy(buddy);
    return c;
}

QLineEdit* edit(const char* name, const QString& hint, QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromUtf8(name));
    e->setPlaceholderText(hint);
    e->setFixedHeight(26);
    return e;
}

QPushButton* button(const char* name, const QString& text, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromUtf8(name));
    return b;
}

// A duplicate-check button keeps its place when hidden, so the row does not jump.
QPushButton* checkButton(const char* name, QWidget* parent) {
    QPushButton* b = button(name, QStringLiteral("중복확인"), parent);
    b->setFixedSize(90, 26);
    QSizePolicy p = b->sizePolicy();
    p.setRetainSizeWhenHidden(true);
    b->setSizePolicy(p);
    return b;
}

QPlainTextEdit* memo(const char* name, const QString& text, QWidget* parent) {
    auto* m = new QPlainTextEdit(parent);
    m->setObjectName(QString::fromUtf8(name));
    m->setPlainText(text);
    m->setReadOnly(true);
    m->setFrameShape(QFrame::NoFrame);
    m->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    return m;
}

}  // namespace

TfrmJoin::TfrmJoin(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmJoin"));
    setWindowTitle(QStringLiteral("회원가입"));
    // Fixed border with the system menu only, always on top of the program's windows.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(app::theme::uiFont());
    setFixedSize(kClientWidth, kClientHeight);

    pageControl = new QStackedWidget(this);
    pageControl->setObjectName(QStringLiteral("cxPageControl1"));
    cxTabSheet1 = buildEntryPage();
    cxTabSheet2 = buildTermsPage();
    pageControl->addWidget(cxTabSheet1);
    pageControl->addWidget(cxTabSheet2);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pageControl);

    FormCreate();
}

TfrmJoin::~TfrmJoin() {
    if (frmJoin == this) frmJoin = nullptr;
    // Closing the window with the focus in a box ends its edit while the widgets go away:
    // the handlers of this half-destroyed form must not run then.
    for (QLineEdit* e : findChildren<QLineEdit*>()) e->disconnect(this);
}

QWidget* TfrmJoin::buildEntryPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("cxTabSheet1"));

    txt_사용자아이디 =
        edit("txt_사용자아이디", QStringLiteral("로그인 시 사용 할 아이디를 입력하세요"), page);
    bt_기관번호확인 = checkButton("bt_기관번호확인", page);
    txt_비밀번호 = edit("txt_비밀번호", QStringLiteral("비밀번호를 입력하세요"), page);
    txt_비밀번호확인 =
        edit("txt_비밀번호확인", QStringLiteral("똑같은 비밀번호를 한번 더 입력하세요"), page);
    cbbx_comptype = new QComboBox(page);
    cbbx_comptype->setObjectName(QStringLiteral("cbbx_comptype"));
    cbbx_comptype->addItems({store::kCompTypeNone, store::kCompTypeIndividual,
                             store::kCompTypeCorporation, store::kCompTypeOther});
    cbbx_comptype->setEditable(false);
    cbbx_comptype->setFixedSize(120, 26);
    txt_사업자번호 =
        edit("txt_사업자번호", QStringLiteral("사업자 번호를 숫자 10자리로 입력하세요"), page);
    bt_사업자확인 = checkButton("bt_사업자확인", page);
    txt_사업자명 = edit("txt_사업자명", QStringLiteral("사업자명을 입력하세요"), page);
    txt_연락처 = edit("txt_연락처", QStringLiteral("관리자 연락처를 숫자로 입력하세요"), page);
    txt_이메일 = edit("txt_이메일", QStringLiteral("관리자 이메일을 입력하세요"), page);
    txt_주소 = edit("txt_주소", QStringLiteral("사업장 주소를 입력하세요"), page);

    for (QLineEdit* pw : {txt_비밀번호, txt_비밀번호확인}) {
        pw->setEchoMode(QLineEdit::Password);
        // Pasted text follows the same rule as typed keys: ASCII below 127 only.
        pw->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("[\\x{0}-\\x{7e}]*")), pw));
    }

    cxButton3 = button("cxButton3", QStringLiteral("약관보기"), page);
    ckbx_이용약관 = new QCheckBox(QStringLiteral("동의합니다"), page);
    ckbx_이용약관->setObjectName(QStringLiteral("ckbx_이용약관"));
    cxButton2 = button("cxButton2", QStringLiteral("약관보기"), page);
    ckbx_개인정보 = new QCheckBox(QStringLiteral("동의합니다"), page);
    ckbx_개인정보->setObjectName(QStringLiteral("ckbx_개인정보"));
    cxButton4 = button("cxButton4", QStringLiteral("약관보기"), page);
    ckbx_서비스 = new QCheckBox(QStringLiteral("동의합니다"), page);
    ckbx_서비스->setObjectName(QStringLiteral("ckbx_서비스"));
    ckbx_전체 = new QCheckBox(QStringLiteral("모든 이용 약관에 동의합니다"), page);
    ckbx_전체->setObjectName(QStringLiteral("ckbx_전체"));
    QFont allFont = ckbx_전체->font();
    allFont.setBold(true);
    ckbx_전체->setFont(allFont);

    btnLogin = button("btnLogin", QStringLiteral("회원가입"), page);
    btnLogin->setFixedSize(160, 34);
    QFont bf = btnLogin->font();
    bf.setBold(true);
    btnLogin->setFont(bf);

    // Rows: caption, editor(s), button.
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(6);
    grid->setColumnStretch(2, 1);
    int row = 0;
    auto addRow = [&](const QString& text, QWidget* first, QWidget* second, QWidget* after) {
        grid->addWidget(caption(text, second ? second : first, page), row, 0);
        if (second) {
            grid->addWidget(first, row, 1);
            grid->addWidget(second, row, 2);
        } else {
            grid->addWidget(first, row, 1, 1, 2);
        }
        if (after) grid->addWidget(after, row, 3);
        ++row;
    };
    auto addSection = [&](const QString& text) {
        if (row > 0) grid->setRowMinimumHeight(row++, 6);
        grid->addWidget(sectionLabel(text, page), row++, 0, 1, 4);
    };
    addSection(QStringLiteral("▣ 기본정보"));
    addRow(QStringLiteral("사용자 ID"), txt_사용자아이디, nullptr, bt_기관번호확인);
    addRow(QStringLiteral("비밀번호"), txt_비밀번호, nullptr, nullptr);
    addRow(QStringLiteral("비밀번호 확인"), txt_비밀번호확인, nullptr, nullptr);
    addRow(QStringLiteral("사업자번호"), cbbx_comptype, txt_사업자번호, bt_사업자확인);
    addRow(QStringLiteral("사업자명"), txt_사업자명, nullptr, nullptr);
    addSection(QStringLiteral("▣ 부가정보"));
    addRow(QStringLiteral("연락처"), txt_연락처, nullptr, nullptr);
    addRow(QStringLiteral("이메일"), txt_이메일, nullptr, nullptr);
    addRow(QStringLiteral("주소"), txt_주소, nullptr, nullptr);
    addSection(QStringLiteral("▣ 이용약관"));
    // The terms rows have a layout of their own, so that the editors above keep their width.
    auto* terms = new QGridLayout;
    terms->setHorizontalSpacing(12);
    terms->setVerticalSpacing(6);
    terms->setColumnStretch(0, 1);
    int termsRow = 0;
    auto addTerms = [&](const QString& text, QPushButton* view, QCheckBox* agree) {
        terms->addWidget(new QLabel(text, page), termsRow, 0);
        view->setFixedSize(90, 26);
        terms->addWidget(view, termsRow, 1);
        terms->addWidget(agree, termsRow, 2);
        ++termsRow;
    };
    addTerms(QStringLiteral("○ 이용약관"), cxButton3, ckbx_이용약관);
    addTerms(QStringLiteral("○ 개인정보 수집.이용에 대한 안내"), cxButton2, ckbx_개인정보);
    addTerms(QStringLiteral("○ 서비스 이용약관"), cxButton4, ckbx_서비스);
    terms->addWidget(ckbx_전체, termsRow, 0, 1, 3, Qt::AlignRight);

    auto* bottom = new QWidget(page);
    bottom->setObjectName(QStringLiteral("pnlBottom"));
    bottom->setAutoFillBackground(true);
    QPalette bp = bottom->palette();
    bp.setColor(QPalette::Window, QColor(0x22, 0x22, 0x25));
    bottom->setPalette(bp);
    auto* bar = new QHBoxLayout(bottom);
    bar->setContentsMargins(12, 8, 12, 8);
    bar->addStretch(1);
    bar->addWidget(btnLogin);
    bar->addStretch(1);

    auto* v = new QVBoxLayout(page);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    auto* body = new QVBoxLayout;
    body->setContentsMargins(24, 14, 24, 10);
    body->addLayout(grid);
    body->addLayout(terms);
    body->addStretch(1);
    v->addLayout(body, 1);
    v->addWidget(bottom);

    connect(bt_기관번호확인, &QPushButton::clicked, this, &TfrmJoin::bt_기관번호확인Click);
    connect(bt_사업자확인, &QPushButton::clicked, this, &TfrmJoin::bt_사업자확인Click);
    connect(btnLogin, &QPushButton::clicked, this, &TfrmJoin::btnLoginClick);
    // A changed id or number has to be checked again.
    connect(txt_사용자아이디, &QLineEdit::textChanged, bt_기관번호확인, &QWidget::show);
    connect(txt_사업자번호, &QLineEdit::textChanged, bt_사업자확인, &QWidget::show);
    connect(txt_사업자번호, &QLineEdit::editingFinished, this,
            &TfrmJoin::txt_사업자번호PropertiesEditValueChanged);
    connect(txt_연락처, &QLineEdit::editingFinished, this,
            &TfrmJoin::txt_시설연락처PropertiesEditValueChanged);
    connect(txt_이메일, &QLineEdit::editingFinished, this,
            &TfrmJoin::txt_시설연락처PropertiesEditValueChanged);
    connect(ckbx_전체, &QCheckBox::toggled, this, &TfrmJoin::ckbx_전체PropertiesChange);
    connect(cxButton3, &QPushButton::clicked, this, [this] { showTerms(mm_이용약관); });
    connect(cxButton2, &QPushButton::clicked, this, [this] { showTerms(mm_개인정보약관); });
    connect(cxButton4, &QPushButton::clicked, this, [this] { showTerms(mm_서비스약관); });
    return page;
}

QWidget* TfrmJoin::buildTermsPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("cxTabSheet2"));
    mm_이용약관 = memo("mm_이용약관", signup::memberTerms(), page);
    mm_개인정보약관 = memo("mm_개인정보약관", signup::privacyNotice(), page);
    mm_서비스약관 = memo("mm_서비스약관", signup::serviceTerms(), page);
    cxButton1 = button("cxButton1", QStringLiteral("확인"), page);
    cxButton1->setFixedSize(120, 34);
    connect(cxButton1, &QPushButton::clicked, this,
            [this] { pageControl->setCurrentWidget(cxTabSheet1); });

    auto* v = new QVBoxLayout(page);
    v->setContentsMargins(16, 16, 16, 12);
    v->setSpacing(10);
    for (QPlainTextEdit* m : {mm_이용약관, mm_개인정보약관, mm_서비스약관}) {
        v->addWidget(m, 1);
        m->installEventFilter(this);
        m->hide();
    }
    v->addWidget(cxButton1, 0, Qt::AlignHCenter);
    return page;
}

void TfrmJoin::FormCreate() {
    pv_FocusMove = {txt_사용자아이디, bt_기관번호확인, txt_비밀번호, txt_비밀번호확인,
                    txt_사업자번호,   bt_사업자확인,   txt_사업자명, txt_연락처,
                    txt_이메일,       txt_주소};
    for (QWidget* w : pv_FocusMove) w->installEventFilter(this);

    using platform::ime::InputMode;
    for (QWidget* w : {static_cast<QWidget*>(txt_사용자아이디), static_cast<QWidget*>(txt_비밀번호),
                       static_cast<QWidget*>(txt_비밀번호확인), static_cast<QWidget*>(txt_이메일)})
        platform::ime::setInputMode(w, InputMode::Alpha);
    platform::ime::setInputMode(txt_사업자명, InputMode::Hangul);
    app::pr_Set_UI_ImeMode(this);

    pageControl->setCurrentWidget(cxTabSheet1);
}

void TfrmJoin::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (e->spontaneous()) return;
    // Centred on the window that opened it.
    if (QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr) {
        const QRect frame = frameGeometry();
        move(owner->frameGeometry().center() - QPoint(frame.width() / 2, frame.height() / 2));
    }
    txt_사용자아이디->setFocus();
}

void TfrmJoin::closeEvent(QCloseEvent* e) {
    if (frmJoin == this) frmJoin = nullptr;
    e->accept();
}

bool TfrmJoin::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, e);
    auto* k = static_cast<QKeyEvent*>(e);
    if (watched == mm_이용약관 || watched == mm_개인정보약관 || watched == mm_서비스약관) {
        // Read-only texts: keys that would type are dropped, the cursor keys still scroll.
        return !k->text().isEmpty() && k->text().at(0).isPrint();
    }
    if (watched == txt_비밀번호 || watched == txt_비밀번호확인) {
        if (isNonAscii(k)) return true;
    }
    if (isEnter(k)) {
        auto* w = static_cast<QWidget*>(watched);
        if (w == bt_기관번호확인 || w == bt_사업자확인) {
            static_cast<QPushButton*>(w)->click();
            return true;
        }
        if (std::find(pv_FocusMove.begin(), pv_FocusMove.end(), w) != pv_FocusMove.end()) {
            pr_Set_UI_FocusMove(w);
            return true;
        }
    }
    return QWidget::eventFilter(watched, e);
}

void TfrmJoin::pr_Set_UI_FocusMove(QWidget* from) {
    auto it = std::find(pv_FocusMove.begin(), pv_FocusMove.end(), from);
    if (it == pv_FocusMove.end()) return;
    for (++it; it != pv_FocusMove.end(); ++it) {
        QWidget* next = *it;
        // A confirmed (hidden) check button cannot take the focus; the one after it can.
        if (next->isVisibleTo(this) && next->isEnabled()) {
            next->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void TfrmJoin::txt_사업자번호PropertiesEditValueChanged() {
    QString t = txt_사업자번호->text();
    if (!t.contains(u'-')) return;
    t.remove(u'-');
    txt_사업자번호->setText(t);
}

void TfrmJoin::txt_시설연락처PropertiesEditValueChanged() {
    QString t = txt_연락처->text();
    if (!t.contains(u'-')) return;
    t.remove(u'-');
    txt_연락처->setText(t);
}

void TfrmJoin::ckbx_전체PropertiesChange(bool checked) {
    for (QCheckBox* c : {ckbx_이용약관, ckbx_개인정보, ckbx_서비스}) c->setChecked(checked);
}

void TfrmJoin::showTerms(QPlainTextEdit* memo) {
    for (QPlainTextEdit* m : {mm_이용약관, mm_개인정보약관, mm_서비스약관})
        m->setVisible(m == memo);
    memo->moveCursor(QTextCursor::Start);
    pageControl->setCurrentWidget(cxTabSheet2);
    cxButton1->setFocus();
}

void TfrmJoin::notice(const QString& text, QWidget* focus) {
    DM->messages().warning(this, kNotice, text);
    if (focus) focus->setFocus();
}

void TfrmJoin::bt_기관번호확인Click() {
    const QString id = txt_사용자아이디->text().trimmed();
    if (id.isEmpty()) {
        notice(QStringLiteral("사용자 아이디를 입력하지 않았습니다."), txt_사용자아이디);
        return;
    }
    if (id.size() < 6) {
        notice(QStringLiteral("사용자 아이디를 6글자 이상 입력하세요."), txt_사용자아이디);
        return;
    }
    try {
        platform::sql::Connection c(DM->UniBase);
        if (!DM->Fn_Dynamic_DB_Connect(c)) return;
        if (!signup::idTaken(c, id)) {
            txt_비밀번호->setFocus();
            bt_기관번호확인->hide();
        } else {
            DM->messages().warning(this, kNotice,
                                   QStringLiteral("이미 등록된 사용자아이디 입니다."));
            bt_기관번호확인->show();
            txt_사용자아이디->setFocus();
        }
    } catch (const std::exception&) {
        DM->messages().error(this, QStringLiteral("오류"),
                             QStringLiteral("[#316] Exception Error"));
    }
}

void TfrmJoin::bt_사업자확인Click() {
    const QString compno = txt_사업자번호->text().trimmed();
    if (compno.isEmpty()) {
        notice(QStringLiteral("사업자번호를 입력하지 않았습니다."), txt_사업자번호);
        return;
    }
    if (compno.size() != 10) {
        notice(QStringLiteral("사업자번호를 10자리로 입력하세요."), txt_사업자번호);
        return;
    }
    try {
        platform::sql::Connection c(DM->UniBase);
        if (!DM->Fn_Dynamic_DB_Connect(c)) return;
        if (!signup::compnoTaken(c, compno)) {
            txt_사업자명->setFocus();
            bt_사업자확인->hide();
        } else {
            DM->messages().warning(this, kNotice, QStringLiteral("이미 등록된 사업자번호 입니다."));
            bt_사업자확인->show();
            txt_사업자번호->setFocus();
        }
    } catch (const std::exception&) {
        DM->messages().error(this, QStringLiteral("오류"),
                             QStringLiteral("[#316] Exception Error"));
    }
}

void TfrmJoin::btnLoginClick() {
    const QString id = txt_사용자아이디->text();
    if (id.isEmpty()) {
        notice(QStringLiteral("사용자 아이디를 입력하지 않았습니다."), txt_사용자아이디);
        return;
    }
    if (id.size() <= 5) {
        notice(QStringLiteral("사용자 아이디를 6자리 이상 입력하세요."), txt_사용자아이디);
        return;
    }
    if (!bt_기관번호확인->isHidden()) {
        notice(QStringLiteral("사용자 아이디 중복확인을 하지 않았습니다."), bt_기관번호확인);
        return;
    }
    if (txt_비밀번호->text().isEmpty()) {
        notice(QStringLiteral("비밀번호를 입력 하지 않았습니다."), txt_비밀번호);
        return;
    }
    if (txt_비밀번호확인->text().isEmpty()) {
        notice(QStringLiteral("비밀번호 확인을 입력 하지 않았습니다."), txt_비밀번호확인);
        return;
    }
    if (txt_비밀번호->text() != txt_비밀번호확인->text()) {
        notice(QStringLiteral("비밀번호와 비밀번호 확인 값이 다릅니다."), txt_비밀번호확인);
        return;
    }
    const QString compno = txt_사업자번호->text();
    if (compno.isEmpty()) {
        notice(QStringLiteral("사업자번호를 입력하지 않았습니다."), txt_사업자번호);
        return;
    }
    if (compno.size() <= 9) {
        notice(QStringLiteral("사업자번호를 10자리 이상 입력하세요."), txt_사업자번호);
        return;
    }
    if (!bt_사업자확인->isHidden()) {
        notice(QStringLiteral("사업자번호 중복확인을 하지 않았습니다."), bt_사업자확인);
        return;
    }
    if (!ckbx_이용약관->isChecked() || !ckbx_서비스->isChecked() || !ckbx_개인정보->isChecked()) {
        notice(QStringLiteral("이용약관에 모두 동의하셔야 가입가능합니다."), nullptr);
        return;
    }
    pr_Set_DB_Join();
}

void TfrmJoin::pr_Set_DB_Join() {
    signup::NewCompany n;
    n.id = txt_사용자아이디->text().trimmed();
    n.pw = txt_비밀번호->text().trimmed();
    n.comptype = cbbx_comptype->currentText().trimmed();
    n.compno = txt_사업자번호->text().trimmed();
    n.compname = txt_사업자명->text().trimmed();
    n.tel = txt_연락처->text().trimmed();
    n.addr = txt_주소->text().trimmed();
    n.email = txt_이메일->text().trimmed();
    try {
        platform::sql::Connection c(DM->UniBase);
        if (!DM->Fn_Dynamic_DB_Connect(c)) return;
        signup::insertCompany(c, n);
    } catch (const platform::sql::SqlError& e) {
        DM->messages().error(this, QStringLiteral("오류"), e.message());
        return;
    } catch (const std::exception& e) {
        DM->messages().error(this, QStringLiteral("오류"), QString::fromStdString(e.what()));
        return;
    }
    DM->messages().information(this, QStringLiteral("확인"),
                               QStringLiteral("가입이 완료되었습니다."));
    close();
}
