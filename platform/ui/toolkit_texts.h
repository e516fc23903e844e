#pragma once

#include <QString>

// The Korean texts that the toolkit's own widgets show. Forms never need to set them; tests use
// them to find what the user sees.
namespace platform::ui::texts {

inline QString noData() {
    return QStringLiteral("출력할 자료가 없습니다.");
}
inline QString groupByBox() {
    return QStringLiteral("컬럼헤더를 여기로 드래그하세요.");
}
inline QString customize() {
    return QStringLiteral("사용자정의");
}
inline QString filterAll() {
    return QStringLiteral("(전체)");
}
inline QString filterCustom() {
    return QStringLiteral("(사용자정의)");
}
inline QString today() {
    return QStringLiteral("오늘");
}
inline QString clear() {
    return QStringLiteral("삭제");
}
inline QString ok() {
    return QStringLiteral("확인");
}
inline QString cancel() {
    return QStringLiteral("취소");
}

}  // namespace platform::ui::texts
