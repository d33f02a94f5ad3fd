// The text order both engines share and LIKE's match (db/DialectText.h):
// the quick comparison held to the collator on the texts where a fault can
// hide, the order a clerk sees, the finds' ranges holding every text a find
// means, and the match itself. The server's side of the same is held to this
// one by the differential test.
#include "db/DialectText.h"

#include <QRandomGenerator>
#include <QtTest>
#include <algorithm>

using namespace dialect;

namespace {

int sign(int v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

int order(const QByteArray &a, const QByteArray &b)
{
    return sign(text::compare(a.constData(), int(a.size()), b.constData(), int(b.size())));
}

int orderThroughCollator(const QByteArray &a, const QByteArray &b)
{
    return sign(text::compareThroughCollator(a.constData(), int(a.size()), b.constData(), int(b.size())));
}

// Characters where an order or a fold goes wrong: letters in either case,
// with accents precomposed and combining, pinyin tone marks, the letters that
// fold into ASCII ones (the Kelvin sign, the dotted capital I), the Greek
// sigmas, words the collator reads as one (沈阳, 重庆, 藏文), characters it
// ignores, the joiner the order itself puts in, U+FFFD to U+FFFF, characters
// beyond the Basic Multilingual Plane, a contraction of Thai and one of Latin.
const QStringList kPieces = {
    QStringLiteral("a"),      QStringLiteral("A"),      QStringLiteral("á"),      QStringLiteral("Á"),
    QStringLiteral("ā"),      QStringLiteral("e"),      QStringLiteral("É"),      QStringLiteral("e\u0301"),
    QStringLiteral("z"),      QStringLiteral("Z"),      QStringLiteral("k"),      QStringLiteral("\u212A"),
    QStringLiteral("i"),      QStringLiteral("I"),      QStringLiteral("\u0130"), QStringLiteral("ı"),
    QStringLiteral("ß"),      QStringLiteral("Σ"),      QStringLiteral("σ"),      QStringLiteral("ς"),
    QStringLiteral("0"),      QStringLiteral("9"),      QStringLiteral("-"),      QStringLiteral(" "),
    QStringLiteral("%"),      QStringLiteral("沈"),     QStringLiteral("阳"),     QStringLiteral("重"),
    QStringLiteral("庆"),     QStringLiteral("藏"),     QStringLiteral("文"),     QStringLiteral("中"),
    QStringLiteral("\u200B"), QStringLiteral("\u034F"), QStringLiteral("\u0307"), QStringLiteral("\uFFFD"),
    QStringLiteral("\uFFFE"), QStringLiteral("\uFFFF"), QStringLiteral("𠀀"),     QStringLiteral("😀"),
    QStringLiteral("L"),      QStringLiteral("\u00B7"), QStringLiteral("เ"),      QStringLiteral("ก"),
    QStringLiteral("\t"),     QStringLiteral("\u00AD"), QStringLiteral("한"),     QStringLiteral("Ǆ")};

QString randomText(QRandomGenerator &rng, int maxPieces)
{
    QString s;
    const int n = int(rng.bounded(maxPieces + 1));
    for (int i = 0; i < n; ++i) s += kPieces[int(rng.bounded(int(kPieces.size())))];
    return s;
}

bool startsWith(const std::u32string &s, const std::u32string &prefix)
{
    return s.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), s.begin());
}

}  // namespace

class TestTextOrder : public QObject {
    Q_OBJECT

private slots:
    void quickOrderIsTheCollators();
    void orderIsTotal();
    void whatAClerkSees_data();
    void whatAClerkSees();
    void rangeHoldsEveryTextWithItsStart();
    void comparisonsIgnoreCaseOnly();
    void like_data();
    void like();
    void caseMapping();
};

// The table decides most comparisons by the first characters that differ; it
// must decide as the collator does whatever follows, including bytes that
// are no UTF-8.
void TestTextOrder::quickOrderIsTheCollators()
{
    QList<QByteArray> texts;
    for (const QString &a : kPieces)
        for (const QString &b : kPieces) texts << (a + b).toUtf8();
    texts << QByteArray("\x80") << QByteArray("a\xC3") << QByteArray("\xE4\xB8") << QByteArray("\xE6\xB2\x88\xC0")
          << QByteArray("a\xF5z") << QByteArray();
    QRandomGenerator rng(18);
    for (int i = 0; i < 3000; ++i) {
        const QString stem = randomText(rng, 3);
        texts << (stem + randomText(rng, 3)).toUtf8() << (stem + randomText(rng, 3)).toUtf8();
    }
    int checked = 0;
    for (qsizetype i = 0; i + 1 < texts.size(); ++i)
        for (qsizetype j : {i + 1, (i * 7919) % texts.size(), (i * 104729 + 3) % texts.size()}) {
            const QByteArray &a = texts[i], &b = texts[j];
            if (order(a, b) != orderThroughCollator(a, b))
                QFAIL(qPrintable(QStringLiteral("%1 against %2: %3, the collator %4")
                                     .arg(QString::fromUtf8(a.toHex()), QString::fromUtf8(b.toHex()))
                                     .arg(order(a, b))
                                     .arg(orderThroughCollator(a, b))));
            ++checked;
        }
    QVERIFY(checked > 20000);
}

// Only equal texts tie, and the order sorts: what a list read in parts needs.
void TestTextOrder::orderIsTotal()
{
    QRandomGenerator rng(7);
    QList<QByteArray> texts;
    for (int i = 0; i < 2000; ++i) texts << randomText(rng, 4).toUtf8();
    std::sort(texts.begin(), texts.end(), [](const QByteArray &a, const QByteArray &b) { return order(a, b) < 0; });
    for (qsizetype i = 0; i + 1 < texts.size(); ++i) {
        QVERIFY(order(texts[i], texts[i + 1]) <= 0);
        QCOMPARE(order(texts[i], texts[i + 1]) == 0, texts[i] == texts[i + 1]);
        QCOMPARE(order(texts[i + 1], texts[i]), -order(texts[i], texts[i + 1]));
    }
}

void TestTextOrder::whatAClerkSees_data()
{
    QTest::addColumn<QStringList>("ascending");
    QTest::newRow("Chinese character by character, 重 as zhong")
        << QStringList{"藏", "藏文", "红", "红楼梦", "沈", "沈从文", "沈阳", "沈阳001", "中", "重", "重庆", "重庆森林"};
    QTest::newRow("letters before accents, then letter case")
        << QStringList{"Éclair", "ecole", "Ecole", "émile", "ÉMILE", "Zebra", "zebra2"};
    QTest::newRow("pinyin tone marks before the plain letter") << QStringList{"ā", "á", "Á", "a", "a字", "ā字2"};
    QTest::newRow("Latin, digits and signs before Chinese")
        << QStringList{"-1", "0", "9", "B001", "b002", "c++入门", "C语言", "阿Q", "啊"};
    QTest::newRow("a text before the texts it starts") << QStringList{"", "R0", "R00", "R001", "R0010", "R01"};
}

void TestTextOrder::whatAClerkSees()
{
    QFETCH(QStringList, ascending);
    for (qsizetype i = 0; i + 1 < ascending.size(); ++i)
        QVERIFY2(order(ascending[i].toUtf8(), ascending[i + 1].toUtf8()) < 0,
                 qPrintable(ascending[i] + QStringLiteral(" before ") + ascending[i + 1]));
}

// A find's range in the order holds every text whose fold starts with the
// start's fold, whatever the collator would read as a word or ignore; and it
// is a range, not everything.
void TestTextOrder::rangeHoldsEveryTextWithItsStart()
{
    QRandomGenerator rng(1);
    int inside = 0, outside = 0;
    for (int i = 0; i < 40000; ++i) {
        QString start = randomText(rng, 2);
        start.remove(QLatin1Char('%'));
        if (start.isEmpty()) continue;
        // A text of the start's fold, or of another start, and what follows.
        QString variant = start;
        if (rng.bounded(2)) variant = variant.toUpper();
        const QString textValue = (rng.bounded(2) ? variant : randomText(rng, 2)) + randomText(rng, 3);
        const QByteArray t = textValue.toUtf8();
        const QByteArray from = text::orderBound(start, false), to = text::orderBound(start, true);
        const bool starts = startsWith(text::fold(textValue), text::fold(start));
        const bool inRange = order(from, t) < 0 && order(t, to) < 0;
        if (starts && !inRange)
            QFAIL(
                qPrintable(QStringLiteral("\"%1\" starts with \"%2\" but is out of its range").arg(textValue, start)));
        (inRange ? inside : outside)++;
    }
    QVERIFY2(inside > 10000 && outside > 10000, qPrintable(QStringLiteral("%1 in, %2 out").arg(inside).arg(outside)));
    QVERIFY(order(text::orderBound(QStringLiteral("沈"), false), text::orderBound(QStringLiteral("沈"), true)) < 0);
}

void TestTextOrder::comparisonsIgnoreCaseOnly()
{
    const auto folded = [](const QString &a, const QString &b) {
        const QByteArray x = a.toUtf8(), y = b.toUtf8();
        return sign(text::compareFolded(x.constData(), int(x.size()), y.constData(), int(y.size())));
    };
    QCOMPARE(folded(QStringLiteral("Zebra"), QStringLiteral("zEBRA")), 0);
    QCOMPARE(folded(QStringLiteral("ÉMILE"), QStringLiteral("émile")), 0);
    QCOMPARE(folded(QStringLiteral("ΟΔΟΣ"), QStringLiteral("οδος")), 0);
    QCOMPARE(folded(QStringLiteral("émile"), QStringLiteral("emile")), -1);
    QCOMPARE(folded(QStringLiteral("重"), QStringLiteral("重庆")), -1);
    QCOMPARE(folded(QStringLiteral("红楼梦"), QStringLiteral("重庆")), -1);
}

void TestTextOrder::like_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("escape");
    QTest::addColumn<bool>("matches");
    QTest::newRow("a start") << "沈%"
                             << "沈阳"
                             << "" << true;
    QTest::newRow("an end") << "%阳"
                            << "沈阳"
                            << "" << true;
    QTest::newRow("an end, no more") << "%阳"
                                     << "沈阳1"
                                     << "" << false;
    QTest::newRow("letter case of every script") << "É%"
                                                 << "émile"
                                                 << "" << true;
    QTest::newRow("either sigma") << "ΟΔΟΣ%"
                                  << "οδοσα"
                                  << "" << true;
    QTest::newRow("dotted capital I as i") << "i%"
                                           << "İstanbul"
                                           << "" << true;
    QTest::newRow("dotted capital I as i and a dot") << "i_"
                                                     << "İ"
                                                     << "" << true;
    QTest::newRow("Kelvin sign as k") << "k%"
                                      << "\u212Aelvin"
                                      << "" << true;
    QTest::newRow("one character beyond the plane") << "_"
                                                    << "𠀀"
                                                    << "" << true;
    QTest::newRow("not two") << "__"
                             << "𠀀"
                             << "" << false;
    QTest::newRow("a range") << "[0-9]%"
                             << "9-0"
                             << "" << true;
    QTest::newRow("a reversed range holds nothing") << "[9-0]%"
                                                    << "9-0"
                                                    << "" << false;
    QTest::newRow("a range of letters, folded") << "[A-C]%"
                                                << "ben"
                                                << "" << true;
    QTest::newRow("not of a set") << "[^a-c]%"
                                  << "d"
                                  << "" << true;
    QTest::newRow("a dash at a set's end") << "[a-]%"
                                           << "-x"
                                           << "" << true;
    QTest::newRow("a percent sign in a set") << "[%]%"
                                             << "%x"
                                             << "" << true;
    QTest::newRow("a bracket without its end") << "[注%"
                                               << "[注x"
                                               << "" << true;
    QTest::newRow("an escaped percent sign") << "100!%"
                                             << "100%"
                                             << "!" << true;
    QTest::newRow("an escaped percent sign, no wildcard") << "100!%"
                                                          << "1000"
                                                          << "!" << false;
    QTest::newRow("an escape at the end stands for itself") << "a!"
                                                            << "a!"
                                                            << "!" << true;
    QTest::newRow("nothing matches nothing") << ""
                                             << ""
                                             << "" << true;
    QTest::newRow("one character is not nothing") << "_"
                                                  << ""
                                                  << "" << false;
}

void TestTextOrder::like()
{
    QFETCH(QString, pattern);
    QFETCH(QString, value);
    QFETCH(QString, escape);
    QFETCH(bool, matches);
    const char32_t esc = escape.isEmpty() ? text::kNoEscape : text::fold(escape)[0];
    QCOMPARE(text::like(text::fold(pattern), text::fold(value), esc), matches);
}

void TestTextOrder::caseMapping()
{
    QCOMPARE(text::upper(QStringLiteral("straße ā")), QStringLiteral("STRASSE Ā"));
    QCOMPARE(text::lower(QStringLiteral("ΟΔΟΣ ΟΔΟΣ")), QStringLiteral("οδος οδος"));
    QCOMPARE(text::lower(QStringLiteral("İ")), QStringLiteral("i\u0307"));
    QCOMPARE(text::upper(QStringLiteral("沈阳")), QStringLiteral("沈阳"));
}

QTEST_GUILESS_MAIN(TestTextOrder)
#include "tst_textorder.moc"
