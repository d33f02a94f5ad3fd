#include "ui/Runtime.h"

#include <QtTest>

using namespace vb;

class TstRuntime : public QObject {
    Q_OBJECT
private slots:
    void val_data();
    void val();
    void formatDates();
    void formatNumbers_data();
    void formatNumbers();
    void formatText();
    void isDate_data();
    void isDate();
    void toDateValues();
    void trims_data();
    void trims();
    void stringFunctions();
    void dateArithmetic();
    void testClock();
};

void TstRuntime::val_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("int") << "12" << 12.0;
    QTest::newRow("trailing letters") << "12abc" << 12.0;
    QTest::newRow("letters first") << "abc12" << 0.0;
    QTest::newRow("decimal") << "3.75元" << 3.75;
    QTest::newRow("negative") << "-3.5x" << -3.5;
    QTest::newRow("plus") << "+7" << 7.0;
    QTest::newRow("exponent") << "1e2" << 100.0;
    QTest::newRow("exponent sign") << "25E-1" << 2.5;
    QTest::newRow("bare exponent letter") << "5e" << 5.0;
    QTest::newRow("blanks inside") << " 1 2 3" << 123.0;
    QTest::newRow("tab and newline") << "\t4\n5" << 45.0;
    QTest::newRow("second dot stops") << "1.2.3" << 1.2;
    QTest::newRow("comma stops") << "1,000" << 1.0;
    QTest::newRow("dot only") << "." << 0.0;
    QTest::newRow("leading dot") << ".5" << 0.5;
    QTest::newRow("sign only") << "-" << 0.0;
}

void TstRuntime::val()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(Val(text), expected);
}

void TstRuntime::formatDates()
{
    const QDateTime t(QDate(2024, 3, 5), QTime(7, 8, 9));
    QCOMPARE(Format(t, "yyyy-mm-dd"), QString("2024-03-05"));
    QCOMPARE(Format(t, "hh:nn:ss"), QString("07:08:09"));
    QCOMPARE(Format(t, "yymmdd"), QString("240305"));
    QCOMPARE(Format(t, "hhnnss"), QString("070809"));
    QCOMPARE(Format(t, "yyyy-mm-dd hh:nn:ss"), QString("2024-03-05 07:08:09"));
    // "mm" after an hour, or before a second, is the minute.
    QCOMPARE(Format(t, "hh:mm"), QString("07:08"));
    QCOMPARE(Format(t, "mm:ss"), QString("08:09"));
    QCOMPARE(Format(t, "yyyy/m/d h:n:s"), QString("2024/3/5 7:8:9"));
    QCOMPARE(Format(t, "YYYY-MM-DD"), QString("2024-03-05"));
    QCOMPARE(Format(t, "yyyy年m月d日"), QString("2024年3月5日"));
    QCOMPARE(Format(QDateTime(QDate(2024, 3, 5), QTime(13, 0)), "h AM/PM"), QString("1 PM"));
    QCOMPARE(Format(QDate(2009, 12, 31), "yymmdd"), QString("091231"));
    QCOMPARE(Format(QTime(23, 59, 0), "hh:nn:ss"), QString("23:59:00"));
    QCOMPARE(Format(QDate(2024, 3, 5), "yyyy-mm-dd hh:nn:ss"), QString("2024-03-05 00:00:00"));
    QCOMPARE(Format(t, "\"at\" hh\\h"), QString("at 07h"));
}

void TstRuntime::formatNumbers_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("fmt");
    QTest::addColumn<QString>("expected");
    QTest::newRow("000 one") << 1.0 << "000"
                             << "001";
    QTest::newRow("000 twelve") << 12.0 << "000"
                                << "012";
    QTest::newRow("000 wider") << 1234.0 << "000"
                               << "1234";
    QTest::newRow("000 rounds") << 7.5 << "000"
                                << "008";
    QTest::newRow("half away from zero") << 2.5 << "0"
                                         << "3";
    QTest::newRow("negative pad") << -5.0 << "000"
                                  << "-005";
    QTest::newRow("two decimals") << 12.5 << "0.00"
                                  << "12.50";
    QTest::newRow("decimal rounding") << 1.005 << "0.00"
                                      << "1.01";
    QTest::newRow("hash decimals") << 5.0 << "#.##"
                                   << "5.";
    QTest::newRow("hash fraction") << 0.5 << "#.##"
                                   << ".5";
    QTest::newRow("thousands") << 1234567.891 << "#,##0.00"
                               << "1,234,567.89";
    QTest::newRow("zero") << 0.0 << "0.00"
                          << "0.00";
    QTest::newRow("negative rounding to zero") << -0.001 << "0.00"
                                               << "0.00";
    QTest::newRow("literal suffix") << 3.0 << "0元"
                                    << "3元";
    QTest::newRow("percent") << 0.256 << "0.0%"
                             << "25.6%";
    QTest::newRow("empty format") << 12.5 << ""
                                  << "12.5";
    QTest::newRow("empty format int") << 40.0 << ""
                                      << "40";
}

void TstRuntime::formatNumbers()
{
    QFETCH(double, value);
    QFETCH(QString, fmt);
    QFETCH(QString, expected);
    QCOMPARE(Format(value, fmt), expected);
}

void TstRuntime::formatText()
{
    QCOMPARE(Format(QString("7"), "000"), QString("007"));
    QCOMPARE(Format(QString("2024-3-5"), "yyyy-mm-dd"), QString("2024-03-05"));
    QCOMPARE(Format(QString("abc"), "000"), QString("abc"));
}

void TstRuntime::isDate_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("expected");
    QTest::newRow("short parts") << "2024-3-5" << true;
    QTest::newRow("slashes") << "2024/03/05" << true;
    QTest::newRow("dots") << "2024.3.5" << true;
    QTest::newRow("with time") << "2024-03-05 10:00:00" << true;
    QTest::newRow("with short time") << "2024-03-05 10:00" << true;
    QTest::newRow("time only") << "10:00" << true;
    QTest::newRow("chinese") << "2024年3月5日" << true;
    QTest::newRow("month first") << "3/5/2024" << true;
    QTest::newRow("blanks around") << "  2024-03-05 " << true;
    QTest::newRow("word") << "abc" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("month 13") << "2024-13-01" << false;
    QTest::newRow("feb 30") << "2024-02-30" << false;
    QTest::newRow("leap day") << "2024-02-29" << true;
    QTest::newRow("no leap day") << "2023-02-29" << false;
    QTest::newRow("hour 25") << "2024-03-05 25:00:00" << false;
    QTest::newRow("mixed separators") << "2024-03/05" << false;
    QTest::newRow("number") << "20240305" << false;
    QTest::newRow("trailing junk") << "2024-03-05x" << false;
}

void TstRuntime::isDate()
{
    QFETCH(QString, text);
    QFETCH(bool, expected);
    QCOMPARE(IsDate(text), expected);
}

void TstRuntime::toDateValues()
{
    QCOMPARE(ToDate("2024-3-5"), QDateTime(QDate(2024, 3, 5), QTime(0, 0)));
    QCOMPARE(ToDate("3/5/2024"), QDateTime(QDate(2024, 3, 5), QTime(0, 0)));
    QCOMPARE(ToDate("24-3-5"), QDateTime(QDate(2024, 3, 5), QTime(0, 0)));
    QCOMPARE(ToDate("99-3-5"), QDateTime(QDate(1999, 3, 5), QTime(0, 0)));
    QCOMPARE(ToDate("2024-03-05 10:20:30"), QDateTime(QDate(2024, 3, 5), QTime(10, 20, 30)));
    QCOMPARE(ToDate("2:05 PM"), QDateTime(QDate(1899, 12, 30), QTime(14, 5)));
    QCOMPARE(CDate("2024/03/05"), QDateTime(QDate(2024, 3, 5), QTime(0, 0)));
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, CDate("not a date"));
}

void TstRuntime::trims_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("trimmed");
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("right");
    QTest::newRow("spaces") << "  a b  "
                            << "a b"
                            << "a b  "
                            << "  a b";
    QTest::newRow("only spaces") << "   "
                                 << ""
                                 << ""
                                 << "";
    QTest::newRow("tabs") << "\ta\t"
                          << "a"
                          << "a\t"
                          << "\ta";
    QTest::newRow("line breaks") << " a\r\n"
                                 << "a"
                                 << "a\r\n"
                                 << " a";
    QTest::newRow("full-width space") << "\u3000中\u3000"
                                      << "中"
                                      << "中\u3000"
                                      << "\u3000中";
    QTest::newRow("no-break spaces") << "\u00A0R001\u202F"
                                     << "R001"
                                     << "R001\u202F"
                                     << "\u00A0R001";
    QTest::newRow("zero-width space") << "R006\u200B"
                                      << "R006"
                                      << "R006\u200B"
                                      << "R006";
    QTest::newRow("joiners and byte order mark") << "\uFEFF\u200CR006\u200D\u2060"
                                                 << "R006"
                                                 << "R006\u200D\u2060"
                                                 << "\uFEFF\u200CR006";
    QTest::newRow("format characters and blanks mixed") << " \u200B\u3000R006\u00A0\u200B "
                                                        << "R006"
                                                        << "R006\u00A0\u200B "
                                                        << " \u200B\u3000R006";
    QTest::newRow("format characters inside stay") << "R\u200B006"
                                                   << "R\u200B006"
                                                   << "R\u200B006"
                                                   << "R\u200B006";
    QTest::newRow("blanks inside stay") << "\tR\u3000001 "
                                        << "R\u3000001"
                                        << "R\u3000001 "
                                        << "\tR\u3000001";
}

void TstRuntime::trims()
{
    QFETCH(QString, text);
    QFETCH(QString, trimmed);
    QFETCH(QString, left);
    QFETCH(QString, right);
    QCOMPARE(Trim(text), trimmed);
    QCOMPARE(LTrim(text), left);
    QCOMPARE(RTrim(text), right);
}

void TstRuntime::stringFunctions()
{
    QCOMPARE(Left("abcdef", 3), QString("abc"));
    QCOMPARE(Left("ab", 5), QString("ab"));
    QCOMPARE(Len(QString::fromUtf8("图书馆")), 3);
    QCOMPARE(UCase("aB"), QString("AB"));
}

void TstRuntime::dateArithmetic()
{
    QCOMPARE(DateAdd("d", 30, QDate(2024, 1, 15)), QDate(2024, 2, 14));
    QCOMPARE(DateAdd("m", 1, QDate(2024, 1, 31)), QDate(2024, 2, 29));
    QCOMPARE(DateAdd("yyyy", -1, QDate(2024, 2, 29)), QDate(2023, 2, 28));
    QCOMPARE(DateAdd("n", 90, QDateTime(QDate(2024, 1, 1), QTime(23, 0))), QDateTime(QDate(2024, 1, 2), QTime(0, 30)));
}

void TstRuntime::testClock()
{
    const QDateTime fixed(QDate(2024, 3, 5), QTime(9, 30, 15));
    SetTestClock(fixed);
    QCOMPARE(Now(), fixed);
    QCOMPARE(Date(), QDate(2024, 3, 5));
    QCOMPARE(Time(), QTime(9, 30, 15));
    QCOMPARE(Format(Date(), "yymmdd") + Format(Time(), "hhnnss"), QString("240305093015"));
    ClearTestClock();
    QVERIFY(qAbs(Now().secsTo(QDateTime::currentDateTime())) < 5);
    QCOMPARE(Now().time().msec(), 0);
}

QTEST_GUILESS_MAIN(TstRuntime)
#include "tst_runtime.moc"
