// Writes the files of the demo's file server: the six application documents and a few
// scanned withdrawal consent forms (JPEG) of the demo payers.
// usage: paydesk_demo_assets FTP_HOME
#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>

#include "store/vocabulary.h"

namespace {

bool writeConsentForm(const QString& path, const QString& payer, const QString& holder,
                      const QString& bank, const QString& account, int page) {
    QImage img(700, 980, QImage::Format_RGB32);
    img.fill(QColor(250, 248, 240));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QFont title(QStringLiteral("Noto Sans CJK KR"), 26, QFont::Bold);
    p.setFont(title);
    p.setPen(Qt::black);
    p.drawText(QRect(0, 50, 700, 60), Qt::AlignCenter, QStringLiteral("자동이체 출금동의서"));
    p.setFont(QFont(QStringLiteral("Noto Sans CJK KR"), 13));
    const QStringList lines = {
        QStringLiteral("납부자 : %1").arg(payer),   QStringLiteral("예금주 : %1").arg(holder),
        QStringLiteral("출금은행 : %1").arg(bank),  QStringLiteral("계좌번호 : %1").arg(account),
        QStringLiteral("출금일 : 매월 25일"),       QStringLiteral("쪽 : %1").arg(page)};
    int y = 170;
    for (const QString& l : lines) {
        p.drawText(70, y, l);
        p.drawLine(60, y + 12, 640, y + 12);
        y += 70;
    }
    p.drawText(QRect(60, 640, 580, 120), Qt::TextWordWrap,
               QStringLiteral("본인은 위 계좌에서 요양급여 본인부담금이 매월 자동으로 출금되는 것에 "
                              "동의합니다."));
    p.drawText(400, 860, QStringLiteral("서명 : %1 (인)").arg(holder));
    p.setPen(QPen(QColor(20, 40, 160), 3));
    p.drawEllipse(QPoint(590, 852), 26, 26);
    p.end();
    return img.save(path, "JPG", 85);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: paydesk_demo_assets FTP_HOME\n");
        return 2;
    }
    const QString home = QString::fromLocal8Bit(argv[1]);
    const QString forms = home + QStringLiteral("/DEBITON/신청서");
    QDir().mkpath(forms);
    for (const QString& name : store::allDocuments()) {
        QFile f(forms + u'/' + name);
        if (!f.open(QIODevice::WriteOnly)) return 1;
        f.write(QStringLiteral("PAYDESK 데모 문서: %1\r\n").arg(name).toUtf8());
    }
    struct Scan {
        const char* service;
        const char* userid;
        int pages;
        const char* payer;
        const char* holder;
        const char* bank;
        const char* account;
    };
    const Scan scans[] = {
        {"HB000001", "0000000001", 2, "김영수", "김민준", "(004)국민은행", "123-45-678901"},
        {"HB000001", "0000000002", 1, "이순자", "이지은", "(088)신한은행", "110-222-333444"},
        {"PR000002", "0000000001", 1, "강민호", "강민호", "(004)국민은행", "941202-00-123456"},
    };
    for (const Scan& s : scans) {
        const QString dir = home + QStringLiteral("/DEBITON/%1/출금동의서/%2")
                                       .arg(QString::fromUtf8(s.service), QString::fromUtf8(s.userid));
        QDir().mkpath(dir);
        for (int page = 1; page <= s.pages; ++page) {
            const QString path = dir + QStringLiteral("/%1_%2.JPG")
                                           .arg(QString::fromUtf8(s.userid))
                                           .arg(page, 3, 10, QChar(u'0'));
            if (!writeConsentForm(path, QString::fromUtf8(s.payer), QString::fromUtf8(s.holder),
                                  QString::fromUtf8(s.bank), QString::fromUtf8(s.account), page))
                return 1;
        }
    }
    return 0;
}
