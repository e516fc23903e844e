#pragma once

#include <QObject>
#include <functional>
#include <memory>

#include "app/clock.h"
#include "app/deployment_config.h"
#include "platform/ftp/ftp_client.h"
#include "platform/sql/connection.h"
#include "platform/sql/connection_settings.h"
#include "platform/ui/message_service.h"

class TDM;
// The data access module, created first at start-up and kept until the end.
extern TDM* DM;

// Holds the templates of every server the program talks to and the two connect operations.
// The templates are never opened: each operation copies one into its own connection.
class TDM : public QObject {
    Q_OBJECT
public:
    TDM(app::DeploymentConfig config, platform::ui::MessageService& messages,
        QObject* parent = nullptr);
    ~TDM() override;

    platform::sql::ConnectionSettings UniBase;   // service database
    platform::sql::ConnectionSettings UniWonju;  // facility directory
    platform::sql::ConnectionSettings UniCon;    // care-facility database, set by the login
    platform::ftp::FtpSettings FTP;              // document server

    const app::DeploymentConfig& config() const { return config_; }
    platform::ui::MessageService& messages() { return *messages_; }
    void setMessages(platform::ui::MessageService& m) { messages_ = &m; }
    const app::Clock& clock() const { return *clock_; }
    void setClock(const app::Clock& c) { clock_ = &c; }
    // Pauses of the connect retries and of the busy indicator; tests inject a counting one.
    void wait(int milliseconds) { waiter_(milliseconds); }
    void setWaiter(std::function<void(int)> w) { waiter_ = std::move(w); }

    // Up to 4 attempts with 1-second pauses; true at once when already open. Shows
    // "서버와 연결 실패!!\r네트워크(인터넷) 연결상태를 확인하세요." once on failure. Never throws.
    bool Fn_Dynamic_DB_Connect(platform::sql::Connection& UniConnection);
    // Connects and logs in, sends "OPTS utf8 ON" accepting any reply. Shows
    // "파일 서버 연결에 실패했습니다." on failure. Never throws.
    bool Fn_Dynamic_FTP_Connect(platform::ftp::FtpClient& client);

private:
    app::DeploymentConfig config_;
    platform::ui::MessageService* messages_;
    app::SystemClock systemClock_;
    const app::Clock* clock_ = &systemClock_;
    std::function<void(int)> waiter_;
};
