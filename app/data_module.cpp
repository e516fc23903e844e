#include "app/data_module.h"

#include <QThread>

TDM* DM = nullptr;

TDM::TDM(app::DeploymentConfig config, platform::ui::MessageService& messages, QObject* parent)
    : QObject(parent), config_(std::move(config)), messages_(&messages) {
    UniBase = config_.base;
    UniWonju = config_.wonju;
    UniCon = {};  // configured by the login of a company with a facility code
    FTP = config_.ftp;
    FTP.passive = true;
    waiter_ = [](int ms) { QThread::msleep(static_cast<unsigned long>(ms)); };
}

TDM::~TDM() {
    if (DM == this) DM = nullptr;
}

bool TDM::Fn_Dynamic_DB_Connect(platform::sql::Connection& UniConnection) {
    int attempts = 0;
    for (;;) {
        if (UniConnection.isOpen()) break;
        try {
            UniConnection.open();
        } catch (...) {
            wait(1000);
        }
        ++attempts;
        if (attempts >= 4) break;
    }
    if (!UniConnection.isOpen()) {
        messages().plain(nullptr,
                         QStringLiteral("서버와 연결 실패!!\r네트워크(인터넷) 연결상태를 확인하세요."));
    }
    return UniConnection.isOpen();
}

bool TDM::Fn_Dynamic_FTP_Connect(platform::ftp::FtpClient& client) {
    client.disconnect();
    try {
        client.connect();
        // Servers that refuse the command still serve UTF-8 names well enough.
        client.sendCommand(QStringLiteral("OPTS utf8 ON"));
    } catch (...) {
        client.disconnect();
        messages().plain(nullptr, QStringLiteral("파일 서버 연결에 실패했습니다."));
    }
    return client.isConnected();
}
