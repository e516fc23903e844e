#pragma once

#include <QDateTime>
#include <functional>

namespace app {

// The local clock, injectable so that tests can stand at 15:59:59.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    QDate today() const { return now().date(); }
};

class SystemClock : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

class FixedClock : public Clock {
public:
    explicit FixedClock(QDateTime t) : t_(std::move(t)) {}
    QDateTime now() const override { return t_; }
    void set(QDateTime t) { t_ = std::move(t); }

private:
    QDateTime t_;
};

}  // namespace app
