// Statement structure: where statements begin and end, and their header and balance lines.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "statement_files.h"

using namespace stmt_test;

namespace {

TEST(Statements, StatementInTheFirstLineIsRead) {
    Parsed parsed(crlf(":20:FIRST\n:25:ACC\n:62F:C240101EUR1,00\n-\n"));
    ASSERT_EQ(parsed.result(), 1);
    const auto list = parsed.statements();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(text(list[0]->ref), "FIRST");
    EXPECT_EQ(text(list[0]->account), "ACC");
}

TEST(Statements, ByteOrderMarkBeforeTheFirstLine) {
    Parsed parsed(crlf("\xEF\xBB\xBF:20:BOM\n:25:ACC\n-\n"));
    ASSERT_EQ(parsed.statements().size(), 1u);
    EXPECT_EQ(text(parsed.statements()[0]->ref), "BOM");
}

TEST(Statements, StatementsAfterHeaderLinesAndBlocks) {
    Parsed parsed(crlf("ABNANL2A\n940\n:20:ONE\n-\n"
                       "\x01{1:F01X}{4:\n:20:TWO\n-}\x03\n"));
    const auto list = parsed.statements();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(text(list[0]->ref), "ONE");
    EXPECT_EQ(text(list[1]->ref), "TWO");
}

TEST(Statements, LineFeedFilesReadLikeCrLfFiles) {
    const std::string lf = ":20:R\n:25:A/1\n:28C:3/4\n:60F:C240101EUR1,00\n"
                           ":61:2401020102D0,50NTRFREF//BANK\n:86:166?20EREF+E1?21SVWZ+Text\n?22more\n"
                           ":62F:C240102EUR0,50\n-\n";
    Parsed a(lf);
    Parsed b(crlf(lf));
    for (const Parsed *p : {&a, &b}) {
        ASSERT_EQ(p->result(), 1);
        const auto list = p->statements();
        ASSERT_EQ(list.size(), 1u);
        EXPECT_EQ(text(list[0]->ref), "R");
        EXPECT_EQ(text(list[0]->account), "A/1");
        EXPECT_EQ(list[0]->number, 3u);
        EXPECT_EQ(list[0]->page, 4u);
        const auto tx = p->transactions();
        ASSERT_EQ(tx.size(), 1u);
        EXPECT_EQ(text(tx[0]->ref), "REF");
        EXPECT_EQ(text(tx[0]->bankref), "BANK");
        EXPECT_EQ(text(tx[0]->svwz), "Text more");
        EXPECT_DOUBLE_EQ(list[0]->closeSaldo, 0.5);
    }
}

TEST(Statements, StatementWithoutDashEndsAtTheNextReference) {
    Parsed parsed(crlf(":20:A\n:60F:C240101EUR1,00\n:61:240101C1,00NTRFX\n:62M:C240101EUR2,00\n"
                       ":20:B\n:60M:C240101EUR2,00\n:61:240101C3,00NTRFY\n:62F:C240101EUR5,00\n"));
    const auto list = parsed.statements();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(parsed.transactions(0).size(), 1u);
    EXPECT_EQ(parsed.transactions(1).size(), 1u);
    EXPECT_DOUBLE_EQ(list[0]->closeSaldo, 2.0);
    EXPECT_DOUBLE_EQ(list[1]->openSaldo, 2.0);
    EXPECT_DOUBLE_EQ(list[1]->closeSaldo, 5.0);
}

TEST(Statements, LinesAfterTheDashBelongToNoStatement) {
    Parsed parsed(crlf(":20:A\n:61:240101C1,00NTRFX\n-\n:61:240101C9,00NTRFY\n:62F:C240101EUR9,00\n"));
    const auto list = parsed.statements();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(parsed.transactions().size(), 1u);
    EXPECT_EQ(list[0]->closeCurrency[0], '\0');
}

TEST(Statements, LastLineWithoutLineEndIsRead) {
    Parsed parsed(":20:A\r\n:62F:D240101EUR7,25");
    const auto list = parsed.statements();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_DOUBLE_EQ(list[0]->closeSaldo, -7.25);
    EXPECT_STREQ(list[0]->closeCurrency, "EUR");

    Parsed bare(":20:ONLY");
    ASSERT_EQ(bare.statements().size(), 1u);
    EXPECT_EQ(text(bare.statements()[0]->ref), "ONLY");
}

TEST(StatementNumber, NumberAndPage) {
    Parsed a(crlf(":20:X\n:28C:00012/001\n-\n"));
    ASSERT_EQ(a.statements().size(), 1u);
    EXPECT_EQ(a.statements()[0]->number, 12u);
    EXPECT_EQ(a.statements()[0]->page, 1u);

    Parsed b(crlf(":20:X\n:28C:7\n-\n"));
    EXPECT_EQ(b.statements()[0]->number, 7u);
    EXPECT_EQ(b.statements()[0]->page, 0u);

    Parsed c(crlf(":20:X\n:28:27/01\n-\n"));
    EXPECT_EQ(c.statements()[0]->number, 27u);
    EXPECT_EQ(c.statements()[0]->page, 1u);
}

TEST(StatementNumber, UnreadableNumberEndsTheStatement) {
    Parsed parsed(crlf(":20:X\n:28C:ABC\n:60F:C240101EUR1,00\n-\n:20:Y\n:60F:C240101EUR2,00\n-\n"));
    const auto list = parsed.statements();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0]->openCurrency[0], '\0');
    EXPECT_DOUBLE_EQ(list[1]->openSaldo, 2.0);
}

TEST(Balances, DebitOpeningBalance) {
    Parsed parsed(crlf(":20:X\n:60F:D240131EUR1234,56\n-\n"));
    const tarvo_stmt_t *s = parsed.statements().at(0);
    EXPECT_DOUBLE_EQ(s->openSaldo, -1234.56);
    EXPECT_STREQ(s->openCurrency, "EUR");
    EXPECT_EQ(date(s->openDate), "2024-01-31");
    EXPECT_EQ(s->openDate.tm_hour, 0);
}

TEST(Balances, IntermediateBalancesAndWholeAmounts) {
    Parsed parsed(crlf(":20:X\n:60M:C991231CHF0,\n:62M:C000101USD15000,\n-\n"));
    const tarvo_stmt_t *s = parsed.statements().at(0);
    EXPECT_EQ(s->openSaldo, 0.0);
    EXPECT_FALSE(std::signbit(s->openSaldo));
    EXPECT_EQ(date(s->openDate), "1999-12-31");
    EXPECT_STREQ(s->openCurrency, "CHF");
    EXPECT_DOUBLE_EQ(s->closeSaldo, 15000.0);
    EXPECT_EQ(date(s->closeDate), "2000-01-01");
    EXPECT_STREQ(s->closeCurrency, "USD");
}

TEST(Balances, AmountLongerThanFifteenCharactersCutsTheStatementOff) {
    Parsed parsed(crlf(":20:X\n:62F:C240101EUR1234567890123456,78\n-\n"));
    EXPECT_EQ(parsed.statements().at(0)->closeSaldoText, nullptr);
    EXPECT_EQ(parsed.statements().at(0)->incomplete, 1);
}

TEST(Balances, ZeroDebitIsNotNegativeZero) {
    Parsed parsed(crlf(":20:X\n:62F:D240101EUR0,00\n-\n"));
    EXPECT_FALSE(std::signbit(parsed.statements().at(0)->closeSaldo));
}

TEST(Balances, WithoutAmountCutsTheStatementOff) {
    Parsed parsed(crlf(":20:X\n:60F:C240229\n:62F:D240301EUR1,\n-\n"));
    const tarvo_stmt_t *s = parsed.statements().at(0);
    EXPECT_EQ(date(s->openDate), "2024-02-29");
    EXPECT_STREQ(s->openCurrency, "");
    EXPECT_EQ(s->openSaldoText, nullptr);
    EXPECT_EQ(s->closeSaldoText, nullptr);
    EXPECT_EQ(s->incomplete, 1);
}

TEST(Balances, UnreadableDateEndsTheStatement) {
    Parsed parsed(crlf(":20:X\n:60F:C24AB01EUR1,00\n:61:240101C1,00NTRFX\n-\n"));
    ASSERT_EQ(parsed.statements().size(), 1u);
    EXPECT_EQ(parsed.transactions().size(), 0u);
}

TEST(Balances, MissingAmountDoesNotReadTheNextLine) {
    Parsed parsed(crlf(":20:X\n:60F:C240101EUR \n99,00\n-\n"));
    EXPECT_EQ(parsed.statements().at(0)->openSaldo, 0.0);
}

TEST(Information, BelongsToTheTransactionBeforeIt) {
    Parsed parsed(crlf(":20:X\n:61:240101C1,00NTRFA\n:86:111?20first\n:61:240101C2,00NTRFB\n:86:222?20second\n-\n"));
    const auto tx = parsed.transactions();
    ASSERT_EQ(tx.size(), 2u);
    EXPECT_EQ(tx[0]->gvc, 111u);
    EXPECT_EQ(text(tx[0]->purpose), "first");
    EXPECT_EQ(tx[1]->gvc, 222u);
    EXPECT_EQ(text(tx[1]->purpose), "second");
}

TEST(Information, StatementLevelFieldsLeaveTransactionsAlone) {
    Parsed parsed(crlf(":20:X\n:86:999?20before any turnover\n:61:240101C1,00NTRFA\n:86:111?20mine\n"
                       ":62F:C240101EUR1,00\n:86:555?20for the owner\nmore\n-\n"));
    const auto tx = parsed.transactions();
    ASSERT_EQ(tx.size(), 1u);
    EXPECT_EQ(tx[0]->gvc, 111u);
    EXPECT_EQ(text(tx[0]->purpose), "mine");
    EXPECT_DOUBLE_EQ(parsed.statements().at(0)->closeSaldo, 1.0);
}

TEST(Information, EndsBeforeTheMessageEnd) {
    Parsed parsed(crlf(":20:X\n:61:240101C1,00NTRFA\n:86:111?20text\n-\n:20:Y\n-\n"));
    ASSERT_EQ(parsed.statements().size(), 2u);
    EXPECT_EQ(text(parsed.transactions().at(0)->purpose), "text");
}

TEST(Information, ContinuationLinesAreJoinedWithoutLineEnds) {
    Parsed parsed(crlf(":20:X\n:61:240101C1,00NTRFA\n:86:1\n66?20Gehalt Oktob\ner\n?21-Firma\n:62F:C240101EUR1,00\n-\n"));
    const auto tx = parsed.transactions();
    ASSERT_EQ(tx.size(), 1u);
    EXPECT_EQ(tx[0]->gvc, 166u);
    EXPECT_EQ(text(tx[0]->purpose), "Gehalt Oktober\n-Firma");
    EXPECT_DOUBLE_EQ(parsed.statements().at(0)->closeSaldo, 1.0);
}

TEST(Information, UnstructuredTextHasOnlyTheCode) {
    Parsed parsed(crlf(":20:X\n:61:240101C1,00NTRFA\n:86:GIRO 428428 KPN\n-\n"));
    const auto tx = parsed.transactions();
    ASSERT_EQ(tx.size(), 1u);
    EXPECT_EQ(tx[0]->gvc, 0u);
    EXPECT_EQ(tx[0]->purpose, nullptr);
}

} // namespace
