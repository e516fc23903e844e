#include <gtest/gtest.h>

#include "platform/sql/named_params.h"

using platform::sql::parseNamedParameters;

namespace {

struct Case {
    const char* sql;
    QStringList names;
    const char* positional;
};

TEST(NamedParameters, FindsNamesOutsideQuotesAndComments) {
    const Case cases[] = {
        {"select * from t where a = :a", {"a"}, "select * from t where a = ?"},
        {" and :일자 between StartDate and EndDate and b.billdate = :일자",
         {"일자", "일자"},
         " and ? between StartDate and EndDate and b.billdate = ?"},
        {"stat in ('등록완료',':not') and x = :x", {"x"}, "stat in ('등록완료',':not') and x = ?"},
        {"a = 'it''s :q' and b = :b", {"b"}, "a = 'it''s :q' and b = ?"},
        {"a = 'x\\' :q' and b = :b", {"b"}, "a = 'x\\' :q' and b = ?"},
        {"a = \":dq\" and `:bt` = :c", {"c"}, "a = \":dq\" and `:bt` = ?"},
        {"set @v := 1, t = '16:00:00' -- :c\n, u = :u", {"u"},
         "set @v := 1, t = '16:00:00' -- :c\n, u = ?"},
        {"/* :x */ select :y::int", {"y"}, "/* :x */ select ?::int"},
        {"values(:a,:b)", {"a", "b"}, "values(?,?)"},
        {"x = : y", {}, "x = : y"},
        {"", {}, ""},
    };
    for (const Case& c : cases) {
        const auto p = parseNamedParameters(QString::fromUtf8(c.sql));
        EXPECT_EQ(p.names, c.names) << c.sql;
        EXPECT_EQ(p.positional(), QString::fromUtf8(c.positional)) << c.sql;
        EXPECT_EQ(p.texts.size(), p.names.size() + 1) << c.sql;
    }
}

TEST(NamedParameters, UnterminatedQuoteSwallowsTheRest) {
    const auto p = parseNamedParameters(QStringLiteral("a = 'open :x"));
    EXPECT_TRUE(p.names.isEmpty());
}

}  // namespace
