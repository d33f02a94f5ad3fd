#include "Generator.h"

#include "Native.h"

#include "db/Transaction.h"
#include "tools/Invariants.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <libpq-fe.h>
#include <numeric>
#include <unordered_set>

namespace bench {

namespace {

// Raised whenever what the generator makes changes, so that cached databases
// of an earlier version are not taken for this one's.
constexpr int kGeneratorVersion = 1;

// A small generator of its own (splitmix64): the same numbers on every
// platform and library version, which the standard distributions don't promise.
class Rng {
public:
    Rng(quint32 seed, quint64 stream)
        : m_s(quint64(seed) * 0x9E3779B97F4A7C15ULL ^ (stream * 0xD1B54A32D192ED03ULL)) { }
    quint64 next()
    {
        quint64 z = (m_s += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    int below(int n) { return n <= 1 ? 0 : int(next() % quint64(n)); }
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }
    double unit() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }
    bool chance(double p) { return unit() < p; }

private:
    quint64 m_s;
};

// Picks an index with probability proportional to its weight.
class Weighted {
public:
    explicit Weighted(const std::vector<double> &weights) : m_cum(weights.size())
    {
        std::partial_sum(weights.begin(), weights.end(), m_cum.begin());
    }
    int pick(Rng &rng) const
    {
        const double x = rng.unit() * m_cum.back();
        const auto it = std::upper_bound(m_cum.begin(), m_cum.end(), x);
        return int(std::min<size_t>(size_t(it - m_cum.begin()), m_cum.size() - 1));
    }

private:
    std::vector<double> m_cum;
};

QString u(const char *s) { return QString::fromUtf8(s); }

template <size_t N> QString oneOf(Rng &rng, const char *const (&list)[N]) { return u(list[rng.below(int(N))]); }

const char *const kSurnames[] = {
    "王", "李", "张", "刘", "陈", "杨", "赵", "黄", "周", "吴", "徐",   "孙",   "胡",  "朱", "高", "林", "何", "郭",
    "马", "罗", "梁", "宋", "郑", "谢", "韩", "唐", "冯", "于", "董",   "萧",   "程",  "曹", "袁", "邓", "许", "傅",
    "沈", "曾", "彭", "吕", "苏", "卢", "蒋", "蔡", "贾", "丁", "魏",   "薛",   "叶",  "阎", "余", "潘", "杜", "戴",
    "夏", "钟", "汪", "田", "任", "姜", "范", "方", "石", "姚", "谭",   "廖",   "邹",  "熊", "金", "陆", "郝", "孔",
    "白", "崔", "康", "毛", "邱", "秦", "江", "史", "顾", "侯", "邵",   "孟",   "龙",  "万", "段", "雷", "钱", "汤",
    "尹", "黎", "易", "常", "武", "乔", "贺", "赖", "龚", "文", "欧阳", "司马", "诸葛"};
const char *const kGiven[] = {"伟", "芳", "娜", "敏", "静", "丽", "强", "磊", "军", "洋", "勇", "艳", "杰", "娟", "涛",
                              "明", "超", "秀", "霞", "平", "刚", "桂", "英", "华", "建", "国", "文", "辉", "力", "斌",
                              "宇", "浩", "凯", "鹏", "飞", "云", "峰", "鑫", "晨", "欣", "怡", "佳", "琪", "婷", "雪",
                              "梅", "兰", "玉", "红", "燕", "波", "宁", "博", "毅", "俊", "志", "新", "海", "天", "晓",
                              "东", "然", "琳", "颖", "慧", "思", "远", "子", "轩", "涵", "睿", "泽", "嘉", "铭", "昊"};
const char *const kCities[] = {"北京", "上海", "天津", "重庆", "广州", "深圳", "南京",   "杭州",   "武汉", "成都",
                               "西安", "长沙", "郑州", "济南", "沈阳", "长春", "哈尔滨", "石家庄", "太原", "合肥",
                               "福州", "南昌", "南宁", "海口", "贵阳", "昆明", "兰州",   "西宁",   "银川", "青岛",
                               "大连", "厦门", "宁波", "苏州", "无锡", "洛阳", "桂林"};
const char *const kPressKinds[] = {
    "人民",     "科学",     "教育",     "文艺",     "少年儿童", "美术", "音乐",     "古籍",     "大学",   "理工大学",
    "师范大学", "科学技术", "电子工业", "机械工业", "化学工业", "农业", "医学",     "体育",     "经济",   "财经",
    "法律",     "社会科学", "外语教学", "地图",     "旅游",     "交通", "建筑工业", "水利电力", "中医药", "工人",
    "青年",     "妇女儿童", "民族",     "文化",     "书画",     "影视", "航空",     "海洋",     "邮电",   "林业"};
const char *const kDistricts[] = {"东城", "西城", "朝阳", "海淀", "南山", "福田", "鼓楼", "江汉",
                                  "武侯", "雁塔", "天河", "越秀", "和平", "南开", "历下", "市南"};
const char *const kRoads[] = {"人民", "解放", "中山", "建设", "和平", "胜利", "文化", "友谊",
                              "光明", "新华", "青年", "长江", "黄河", "东风", "学院", "科技"};
const char *const kWords[] = {
    "数据", "结构", "算法", "程序",     "设计",     "系统",     "网络",   "计算机", "原理", "分析", "方法",
    "理论", "实践", "应用", "基础",     "导论",     "概论",     "历史",   "文化",   "文学", "经济", "管理",
    "金融", "会计", "市场", "心理",     "哲学",     "艺术",     "音乐",   "美术",   "物理", "化学", "生物",
    "数学", "统计", "工程", "机械",     "电路",     "信号",     "控制",   "材料",   "建筑", "城市", "中国",
    "世界", "古代", "现代", "当代",     "社会",     "政治",     "法律",   "教育",   "儿童", "青年", "故事",
    "小说", "诗歌", "散文", "传记",     "旅行",     "自然",     "科学",   "地理",   "医学", "健康", "营养",
    "烹饪", "园艺", "摄影", "电影",     "戏剧",     "语言",     "英语",   "汉语",   "写作", "阅读", "思维",
    "创新", "战略", "领导", "人工智能", "机器学习", "操作系统", "数据库", "软件",   "硬件", "宇宙", "海洋"};
const char *const kLatin[] = {"Java", "Python", "C++",   "Linux", "SQL",     "Web",  "Excel", "Photoshop",
                              "java", "python", "linux", "iOS",   "Android", "UNIX", "Go",    "MATLAB"};
const char *const kDamage[] = {"封面破损", "书页缺失", "书页撕裂", "污渍", "水渍", "书脊断裂", "涂画", "折角严重"};
const char *const kDamageNote[] = {"", "", "", "已赔偿", "读者自行修复", "已修补", "照价赔偿"};

struct Pinyin {
    const char *hanzi, *latin;
};
const Pinyin kStaffSurnames[] = {{"王", "wang"}, {"李", "li"},   {"张", "zhang"}, {"刘", "liu"},  {"陈", "chen"},
                                 {"杨", "yang"}, {"赵", "zhao"}, {"黄", "huang"}, {"周", "zhou"}, {"吴", "wu"},
                                 {"徐", "xu"},   {"孙", "sun"},  {"胡", "hu"},    {"朱", "zhu"},  {"高", "gao"}};
const Pinyin kStaffGiven[] = {{"芳", "fang"}, {"伟", "wei"},   {"静", "jing"}, {"敏", "min"},  {"磊", "lei"},
                              {"娜", "na"},   {"强", "qiang"}, {"丽", "li"},   {"洋", "yang"}, {"婷", "ting"},
                              {"涛", "tao"},  {"勇", "yong"},  {"霞", "xia"},  {"超", "chao"}, {"慧", "hui"}};

struct Category {
    const char *name;
    int days, limit;
    double share;
};
const Category kCategories[] = {{"学生", 30, 5, 0.60},
                                {"研究生", 45, 8, 0.10},
                                {"教师", 60, 10, 0.08},
                                {"职工", 30, 6, 0.07},
                                {"社会读者", 15, 3, 0.15}};
constexpr int kCategoryCount = int(sizeof(kCategories) / sizeof(kCategories[0]));

// The account types: one with every permission (the initial contents hold
// it), circulation desks and cataloguers.
struct AccountType {
    const char *name;
    int powers[13];
};
const AccountType kAccountTypes[] = {{"系统管理员", {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
                                     {"流通馆员", {0, 1, 0, 1, 0, 1, 1, 1, 1, 0, 0, 1, 1}},
                                     {"编目馆员", {0, 1, 1, 1, 1, 0, 0, 1, 0, 0, 0, 1, 1}}};

constexpr int kOpenSecs = 8 * 3600, kCloseSecs = 20 * 3600;  // the desks' hours

}  // namespace

// ---------------------------------------------------------------- options

Options Options::scaled(double scale)
{
    const Options d;
    auto s = [scale](int value, int least) { return std::max(least, int(std::llround(value * scale))); };
    Options o;
    o.readers = s(d.readers, 50);
    o.titles = s(d.titles, 100);
    o.copies = s(d.copies, 300);
    o.loans = s(d.loans, 1000);
    o.openLoans = std::min(s(d.openLoans, 40), o.loans / 2);
    o.logins = s(d.logins, 100);
    o.deposits = s(d.deposits, 20);
    o.damages = std::min(s(d.damages, 5), (o.loans - o.openLoans) / 2);
    o.publishers = s(d.publishers, 20);
    return o;
}

QString Options::key() const
{
    return QStringLiteral("v%1-r%2-t%3-c%4-l%5-o%6-g%7-d%8-x%9-p%10-s%11-seed%12")
               .arg(kGeneratorVersion)
               .arg(readers)
               .arg(titles)
               .arg(copies)
               .arg(loans)
               .arg(openLoans)
               .arg(logins)
               .arg(deposits)
               .arg(damages)
               .arg(publishers)
               .arg(staff)
               .arg(seed)
           + (crowded ? QStringLiteral("-crowded") : QString());
}

// ---------------------------------------------------------------- the model

struct Library::Model {
    struct Staff {
        QString user, name;
        int type = 0;
        qint64 lastLogin = -1;  // seconds since day 0 of the julian count
    };
    struct Publisher {
        QString name, address, post;
    };
    struct Title {
        QString isbn, name, author;
        int publisher = 0, published = 0, priceCents = 0, rentCents = 0;
        bool lendable = true;
    };
    struct Copy {
        int title = 0, enteredDay = 0, enteredSecs = 0, handler = 0;
        int lastReader = -1, lastDay = -1;
        int busyUntil = INT_MIN;  // the day its last loan came back (INT_MAX while out)
    };
    struct Reader {
        int category = 0, sex = 0, registeredDay = 0, handler = 0;
        qint64 balanceCents = 0;
        QString name, phone, address, post, idCard;
        int current = 0, loans = 0, lendings = 0, damaged = 0;
        bool suspended = false;
    };
    struct Loan {
        qint64 number = 0;
        int copy = 0, reader = 0, lentDay = 0, dueDay = 0, returnedDay = -1, lender = 0, returner = 0;
    };
    struct Deposit {
        qint64 number = 0;
        int reader = 0, cents = 0, day = 0, handler = 0;
    };
    struct Damage {
        qint64 number = 0;
        int loan = 0, cents = 0, description = 0, note = 0;
    };
    struct Login {
        int user = 0;
        qint64 stamp = 0;
    };

    int today = 0, firstLoanDay = 0;
    std::vector<Staff> staff;
    std::vector<int> deskStaff, catalogueStaff;  // who works the desks, who enters copies
    std::vector<Publisher> publishers;
    std::vector<Title> titles;
    std::vector<double> popularity;  // how much readers want each title
    std::vector<Copy> copies;
    std::vector<Reader> readers;
    std::vector<Loan> loans;
    std::vector<Deposit> deposits;
    std::vector<Damage> damages;
    std::vector<Login> logins;
    long lendings = 0, openLoans = 0;

    void makeStaff(const Options &o);
    void makePublishers(const Options &o);
    void makeTitles(const Options &o);
    void makeCopies(const Options &o);
    void makeReaders(const Options &o);
    void makeLoans(const Options &o);
    void makeDeposits(const Options &o);
    void makeDamages(const Options &o);
    void makeLogins(const Options &o);
};

namespace {

// "yymmddhhnnss" of a day and a second of it, as a number.
qint64 clockNumber(int day, int secs)
{
    const QDate d = QDate::fromJulianDay(day);
    return ((((qint64(d.year() % 100) * 100 + d.month()) * 100 + d.day()) * 100 + secs / 3600) * 100 + secs / 60 % 60)
               * 100
           + secs % 60;
}

// The next number not taken, as FreeClockNumber moves a taken one on.
qint64 takeFree(std::unordered_set<qint64> &used, qint64 number)
{
    while (!used.insert(number).second) ++number;
    return number;
}

QString personName(Rng &rng)
{
    // Common surnames far more often than rare ones.
    const int n = int(sizeof(kSurnames) / sizeof(kSurnames[0]));
    const int s = std::min(n - 1, int(std::floor(std::pow(rng.unit(), 2.2) * n)));
    QString name = u(kSurnames[s]) + oneOf(rng, kGiven);
    if (rng.chance(0.6)) name += oneOf(rng, kGiven);
    return name;
}

QString address(Rng &rng)
{
    return oneOf(rng, kCities) + QStringLiteral("市") + oneOf(rng, kDistricts) + QStringLiteral("区")
           + oneOf(rng, kRoads) + QStringLiteral("路%1号").arg(rng.between(1, 999));
}

QString digits(Rng &rng, int n)
{
    QString s;
    for (int i = 0; i < n; ++i) s += QLatin1Char(char('0' + rng.below(10)));
    return s;
}

}  // namespace

void Library::Model::makeStaff(const Options &o)
{
    Rng rng(o.seed, 1);
    staff.push_back({QStringLiteral("admin"), u("系统管理员"), 0, -1});
    QSet<QString> users{QStringLiteral("admin")};
    for (int i = 0; i < o.staff; ++i) {
        const Pinyin &s = kStaffSurnames[rng.below(int(std::size(kStaffSurnames)))];
        const Pinyin &g = kStaffGiven[rng.below(int(std::size(kStaffGiven)))];
        QString user = QString::fromLatin1(s.latin) + QString::fromLatin1(g.latin);
        for (int n = 2; users.contains(user); ++n)
            user = QString::fromLatin1(s.latin) + QString::fromLatin1(g.latin) + QString::number(n);
        users.insert(user);
        // Two more administrators, a fifth cataloguers, the rest at the desks.
        const int type = i < 2 ? 0 : (i % 5 == 0 ? 2 : 1);
        staff.push_back({user, u(s.hanzi) + u(g.hanzi), type, -1});
    }
    for (int i = 0; i < int(staff.size()); ++i) {
        if (staff[size_t(i)].type == 1 || (staff[size_t(i)].type == 0 && i > 0)) deskStaff.push_back(i);
        if (staff[size_t(i)].type != 1) catalogueStaff.push_back(i);
    }
    if (deskStaff.empty()) deskStaff.push_back(0);
}

void Library::Model::makePublishers(const Options &o)
{
    Rng rng(o.seed, 2);
    std::vector<QString> names;
    for (const char *city : kCities)
        for (const char *kind : kPressKinds) names.push_back(u(city) + u(kind) + QStringLiteral("出版社"));
    for (size_t i = names.size(); i > 1; --i) std::swap(names[i - 1], names[size_t(rng.below(int(i)))]);
    for (int i = 0; i < o.publishers; ++i) {
        const size_t k = size_t(i) % names.size();
        QString name = names[k];
        if (size_t(i) >= names.size()) name += QStringLiteral("第%1分社").arg(i / int(names.size()) + 1);
        publishers.push_back({name, address(rng), QStringLiteral("%1").arg(rng.between(100000, 850000))});
    }
}

void Library::Model::makeTitles(const Options &o)
{
    Rng rng(o.seed, 3);
    // Authors: about one for every three titles, some writing many.
    std::vector<QString> authors(size_t(std::max(20, o.titles / 3)));
    for (QString &a : authors) a = personName(rng);
    std::vector<double> authorWeight(authors.size());
    for (size_t i = 0; i < authors.size(); ++i) authorWeight[i] = 1.0 / std::pow(double(i) + 10.0, 0.8);
    const Weighted pickAuthor(authorWeight);
    // A few publishers print most titles.
    std::vector<double> pressWeight(publishers.size());
    for (size_t i = 0; i < publishers.size(); ++i) pressWeight[i] = 1.0 / std::pow(double(i) + 3.0, 0.9);
    // A crowded library's titles come from three publishers' blocks.
    if (o.crowded) std::fill(pressWeight.begin() + std::min<size_t>(3, pressWeight.size()), pressWeight.end(), 0.0);
    const Weighted pickPress(pressWeight);
    // ISBN "978-7-PPPP-TTTT-C": a publisher's four-digit code, its title
    // number, the check digit; a publisher that used up a code gets the next free one.
    std::vector<int> code(publishers.size()), serial(publishers.size(), 0);
    std::iota(code.begin(), code.end(), 1000);
    int nextCode = 1000 + int(publishers.size());
    const int firstPublished = QDate(1985, 1, 1).toJulianDay(), lastPublished = today - 60;
    for (int i = 0; i < o.titles; ++i) {
        Title t;
        t.publisher = pickPress.pick(rng);
        const size_t p = size_t(t.publisher);
        if (serial[p] == 10000) {
            code[p] = nextCode++;
            serial[p] = 0;
        }
        const QString body =
            QStringLiteral("9787%1%2").arg(code[p], 4, 10, QLatin1Char('0')).arg(serial[p]++, 4, 10, QLatin1Char('0'));
        int sum = 0;
        for (int k = 0; k < 12; ++k) sum += (body[k].unicode() - '0') * (k % 2 ? 3 : 1);
        t.isbn = QStringLiteral("978-7-%1-%2-%3").arg(body.mid(4, 4), body.mid(8, 4)).arg((10 - sum % 10) % 10);
        const int pattern = rng.below(100);
        const QString a = oneOf(rng, kWords), b = oneOf(rng, kWords);
        if (pattern < 40)
            t.name = a + b;
        else if (pattern < 60)
            t.name = a + b + oneOf(rng, kWords);
        else if (pattern < 70)
            t.name = a + QStringLiteral("与") + b;
        else if (pattern < 80)
            t.name = a + b + QStringLiteral("（第%1版）").arg(rng.between(2, 9));
        else if (pattern < 85)
            t.name = a + QStringLiteral("的") + b;
        else if (pattern < 93)
            t.name = oneOf(rng, kLatin) + a + b;
        else
            t.name = a + b + QStringLiteral("%1讲").arg(rng.between(10, 50));
        t.author = authors[size_t(pickAuthor.pick(rng))];
        t.published = rng.between(firstPublished, lastPublished);
        t.priceCents = rng.between(12, 168) * 100 + (rng.chance(0.5) ? 0 : rng.between(1, 9) * 10);
        t.rentCents = rng.between(1, 10) * 10;
        t.lendable = !rng.chance(0.08);
        titles.push_back(std::move(t));
    }
    // A few titles are wanted far more than the rest, in no order of their numbers.
    std::vector<int> rank(titles.size());
    std::iota(rank.begin(), rank.end(), 0);
    for (size_t i = rank.size(); i > 1; --i) std::swap(rank[i - 1], rank[size_t(rng.below(int(i)))]);
    popularity.resize(titles.size());
    for (size_t i = 0; i < titles.size(); ++i)
        popularity[size_t(rank[i])] =
            o.crowded ? 1.0 / std::pow(double(i) + 5.0, 1.1) : 1.0 / std::pow(double(i) + 200.0, 0.7);
}

void Library::Model::makeCopies(const Options &o)
{
    Rng rng(o.seed, 4);
    const int n = int(titles.size());
    // Every title has a copy (when there are enough); the others go mostly at
    // random, partly to the titles readers want most (see makeLoans' weights).
    std::vector<int> count(static_cast<size_t>(n), 0);
    for (int i = 0; i < std::min(n, o.copies); ++i) count[size_t(i)] = 1;
    const double wanted = std::accumulate(popularity.begin(), popularity.end(), 0.0);
    std::vector<double> weight(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) weight[size_t(i)] = 0.7 / n + 0.3 * popularity[size_t(i)] / wanted;
    const Weighted pick(weight);
    for (int extra = o.copies - n; extra > 0; --extra) ++count[size_t(pick.pick(rng))];
    // Copies are numbered as they arrive: a title's copies together, the
    // titles in the order the library bought them.
    std::vector<int> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    for (size_t i = order.size(); i > 1; --i) std::swap(order[i - 1], order[size_t(rng.below(int(i)))]);
    const int firstDay = today - 11 * 365, lastDay = today - 20;
    copies.reserve(size_t(o.copies));
    for (int t : order) {
        const int day = firstDay + int(double(copies.size()) / std::max(1, o.copies) * (lastDay - firstDay));
        const int handler = catalogueStaff[size_t(rng.below(int(catalogueStaff.size())))];
        for (int c = 0; c < count[size_t(t)]; ++c) {
            Copy copy;
            copy.title = t;
            copy.enteredDay = day;
            copy.enteredSecs = rng.between(9 * 3600, 17 * 3600);
            copy.handler = handler;
            copies.push_back(copy);
        }
    }
}

void Library::Model::makeReaders(const Options &o)
{
    Rng rng(o.seed, 5);
    std::vector<double> shares;
    for (const Category &c : kCategories) shares.push_back(c.share);
    const Weighted pickCategory(shares);
    for (int i = 0; i < o.readers; ++i) {
        Reader r;
        r.category = pickCategory.pick(rng);
        r.name = personName(rng);
        r.sex = rng.below(2);
        r.registeredDay = rng.between(today - 10 * 365, today - 7);
        r.handler = deskStaff[size_t(rng.below(int(deskStaff.size())))];
        r.balanceCents = rng.between(0, 50) * 100;
        static const char *const phonePrefixes[] = {"13", "15", "18", "17"};
        r.phone = oneOf(rng, phonePrefixes) + digits(rng, 9);
        r.address = address(rng);
        r.post = QString::number(rng.between(100000, 850000));
        const QDate born = QDate::fromJulianDay(r.registeredDay).addYears(-rng.between(17, 70)).addDays(rng.below(365));
        const int check = rng.below(11);
        r.idCard = QString::number(rng.between(110000, 659000)) + born.toString(QStringLiteral("yyyyMMdd"))
                   + digits(rng, 3) + (check == 10 ? QStringLiteral("X") : QString::number(check));
        r.suspended = rng.chance(0.04);
        readers.push_back(std::move(r));
    }
}

void Library::Model::makeLoans(const Options &o)
{
    Rng rng(o.seed, 6);
    // Lendings of one to five copies at a desk, at random times over the
    // years, in the order they happened.
    std::vector<int> sizes;
    for (int made = 0; made < o.loans;) {
        const int x = rng.below(100);
        const int k = std::min(o.loans - made, x < 50 ? 1 : x < 75 ? 2 : x < 88 ? 3 : x < 95 ? 4 : 5);
        sizes.push_back(k);
        made += k;
    }
    std::vector<qint64> times(sizes.size());
    for (qint64 &t : times) t = qint64(rng.between(firstLoanDay, today)) * 86400 + rng.between(kOpenSecs, kCloseSecs);
    std::sort(times.begin(), times.end());
    // The loans still out: all but a fifth of the latest, as a library's are.
    const long window = std::min<long>(o.loans, long(o.openLoans) * 5 / 4);
    std::vector<char> open(size_t(o.loans), 0);
    for (long i = 0, need = o.openLoans; i < window; ++i)
        if (rng.below(int(window - i)) < need) {
            open[size_t(o.loans - window + i)] = 1;
            --need;
        }
    // Some titles are wanted far more than others, some readers far busier than others.
    const Weighted pickTitle(popularity);
    std::vector<int> firstCopy(titles.size() + 1, 0), copiesOf(titles.size(), 0);
    std::vector<int> byTitle(copies.size());
    for (const Copy &c : copies) ++copiesOf[size_t(c.title)];
    for (size_t t = 0; t < titles.size(); ++t) firstCopy[t + 1] = firstCopy[t] + copiesOf[t];
    {
        std::vector<int> fill(firstCopy.begin(), firstCopy.end() - 1);
        for (int c = 0; c < int(copies.size()); ++c) byTitle[size_t(fill[size_t(copies[size_t(c)].title)]++)] = c;
    }
    std::vector<double> readerWeight(readers.size());
    for (double &w : readerWeight) w = 0.2 + 3.0 * std::pow(rng.unit(), 3.0);
    // The crowded library's busiest reader makes a twentieth of the lendings.
    if (o.crowded && !readerWeight.empty())
        readerWeight.front() = std::accumulate(readerWeight.begin(), readerWeight.end(), 0.0) / 19;
    const Weighted pickReader(readerWeight);

    auto copyFree = [&](int c, int day) {
        const Copy &copy = copies[size_t(c)];
        return copy.enteredDay <= day && copy.busyUntil < day && titles[size_t(copy.title)].lendable;
    };
    auto pickCopy = [&](int day) {
        for (int attempt = 0; attempt < 64; ++attempt) {
            const int t = pickTitle.pick(rng);
            if (copiesOf[size_t(t)] == 0) continue;
            const int c = byTitle[size_t(firstCopy[size_t(t)] + rng.below(copiesOf[size_t(t)]))];
            if (copyFree(c, day)) return c;
        }
        const int n = int(copies.size()), from = rng.below(n);
        for (int k = 0; k < n; ++k)
            if (copyFree((from + k) % n, day)) return (from + k) % n;
        return -1;
    };
    auto readerFits = [&](int r, int day, int opening) {
        const Reader &reader = readers[size_t(r)];
        if (reader.registeredDay > day) return false;
        return opening == 0 || (!reader.suspended && reader.current + opening <= kCategories[reader.category].limit);
    };
    auto pickReaderFor = [&](int day, int opening) {
        for (int attempt = 0; attempt < 64; ++attempt) {
            const int r = pickReader.pick(rng);
            if (readerFits(r, day, opening)) return r;
        }
        const int n = int(readers.size()), from = rng.below(n);
        for (int k = 0; k < n; ++k)
            if (readerFits((from + k) % n, day, opening)) return (from + k) % n;
        return -1;
    };

    std::unordered_set<qint64> used;
    used.reserve(size_t(o.loans) * 2);
    loans.reserve(size_t(o.loans));
    long index = 0;
    for (size_t b = 0; b < sizes.size(); ++b) {
        const int day = int(times[b] / 86400), secs = int(times[b] % 86400), k = sizes[b];
        int opening = 0;
        for (int j = 0; j < k; ++j) opening += open[size_t(index + j)];
        const int r = pickReaderFor(day, opening);
        if (r < 0) throw ado::Error(QStringLiteral("no reader can take %1 more loans on day %2").arg(opening).arg(day));
        Reader &reader = readers[size_t(r)];
        const Category &cat = kCategories[reader.category];
        const int lender = deskStaff[size_t(rng.below(int(deskStaff.size())))];
        const qint64 base = clockNumber(day, secs) * 1000;
        for (int j = 0; j < k; ++j, ++index) {
            const int c = pickCopy(day);
            if (c < 0) throw ado::Error(QStringLiteral("no copy is free on day %1").arg(day));
            Copy &copy = copies[size_t(c)];
            Loan loan;
            loan.number = takeFree(used, base + j + 1);
            loan.copy = c;
            loan.reader = r;
            loan.lentDay = day;
            loan.dueDay = day + cat.days;
            loan.lender = lender;
            if (open[size_t(index)]) {
                copy.busyUntil = INT_MAX;
                ++reader.current;
                ++openLoans;
            } else {
                // Most come back in time, some late.
                const int kept = rng.chance(0.85) ? rng.between(1, cat.days) : rng.between(cat.days + 1, cat.days * 3);
                loan.returnedDay = std::min(day + kept, today);
                loan.returner = deskStaff[size_t(rng.below(int(deskStaff.size())))];
                copy.busyUntil = loan.returnedDay;
            }
            copy.lastReader = r;
            copy.lastDay = day;
            ++reader.loans;
            loans.push_back(loan);
        }
        ++reader.lendings;
        ++lendings;
    }
}

void Library::Model::makeDeposits(const Options &o)
{
    Rng rng(o.seed, 7);
    std::unordered_set<qint64> used;
    std::vector<std::pair<qint64, int>> when;  // (time, reader)
    for (int i = 0; i < o.deposits; ++i) {
        const int r = rng.below(int(readers.size()));
        const int day = rng.between(std::max(readers[size_t(r)].registeredDay, firstLoanDay), today);
        when.emplace_back(qint64(day) * 86400 + rng.between(kOpenSecs, kCloseSecs), r);
    }
    std::sort(when.begin(), when.end());
    static const int amounts[] = {10, 20, 50, 50, 100, 100, 100, 200, 200, 300, 500};
    for (const auto &[t, r] : when) {
        Deposit d;
        d.day = int(t / 86400);
        d.number = takeFree(used, clockNumber(d.day, int(t % 86400)));
        d.reader = r;
        d.cents = amounts[rng.below(int(std::size(amounts)))] * 100;
        d.handler = deskStaff[size_t(rng.below(int(deskStaff.size())))];
        readers[size_t(r)].balanceCents += d.cents;
        deposits.push_back(d);
    }
}

void Library::Model::makeDamages(const Options &o)
{
    Rng rng(o.seed, 8);
    std::vector<char> taken(loans.size(), 0);
    std::vector<std::pair<qint64, int>> when;  // (time of the return, loan)
    while (int(when.size()) < o.damages) {
        const int l = rng.below(int(loans.size()));
        if (taken[size_t(l)] || loans[size_t(l)].returnedDay < 0) continue;
        taken[size_t(l)] = 1;
        when.emplace_back(qint64(loans[size_t(l)].returnedDay) * 86400 + rng.between(kOpenSecs, kCloseSecs), l);
    }
    std::sort(when.begin(), when.end());
    std::unordered_set<qint64> used;
    for (const auto &[t, l] : when) {
        Damage d;
        d.number = takeFree(used, clockNumber(int(t / 86400), int(t % 86400)));
        d.loan = l;
        const Loan &loan = loans[size_t(l)];
        const int price = titles[size_t(copies[size_t(loan.copy)].title)].priceCents;
        d.cents = int(std::llround(price * rng.between(1, 10) / 10.0 / 100.0)) * 100;
        d.description = rng.below(int(std::size(kDamage)));
        d.note = rng.below(int(std::size(kDamageNote)));
        ++readers[size_t(loan.reader)].damaged;
        damages.push_back(d);
    }
}

void Library::Model::makeLogins(const Options &o)
{
    Rng rng(o.seed, 9);
    std::vector<qint64> times(size_t(o.logins));
    for (qint64 &t : times)
        t = qint64(rng.between(firstLoanDay, today)) * 86400 + rng.between(7 * 3600 + 1800, 21 * 3600);
    std::sort(times.begin(), times.end());
    qint64 last = -1;
    for (qint64 t : times) {
        t = std::max(t, last + 1);  // one login a second at most: the log's order is the time's
        last = t;
        // The administrator logs in now and then, the desks every day.
        const int user = rng.chance(0.05) ? 0 : rng.below(int(staff.size()));
        logins.push_back({user, t});
        staff[size_t(user)].lastLogin = t;
    }
}

Library::Library(const Options &options) : m_options(options), m(new Model)
{
    m->today = QDate(2025, 6, 30).toJulianDay();
    m->firstLoanDay = m->today - 8 * 365;
    m->makeStaff(options);
    m->makePublishers(options);
    m->makeTitles(options);
    m->makeCopies(options);
    m->makeReaders(options);
    m->makeLoans(options);
    m->makeDeposits(options);
    m->makeDamages(options);
    m->makeLogins(options);
}

Library::~Library() { delete m; }

QDate Library::today() const { return QDate::fromJulianDay(m->today); }

QString Library::copyId(int index, bool crowded)
{
    return crowded ? QStringLiteral("SC2019KB%1").arg(index + 1, 8, 10, QLatin1Char('0'))
                   : QStringLiteral("B%1").arg(index + 1, 7, 10, QLatin1Char('0'));
}

QString Library::readerId(int index, bool crowded)
{
    return crowded ? QStringLiteral("SC2019RD%1").arg(index + 1, 7, 10, QLatin1Char('0'))
                   : QStringLiteral("R%1").arg(index + 1, 6, 10, QLatin1Char('0'));
}

Counts Library::counts() const
{
    Counts n;
    n.publishers = long(m->publishers.size());
    n.categories = kCategoryCount;
    n.titles = long(m->titles.size());
    n.copies = long(m->copies.size());
    n.readers = long(m->readers.size());
    n.loans = long(m->loans.size());
    n.openLoans = m->openLoans;
    n.lendings = m->lendings;
    n.logins = long(m->logins.size());
    n.deposits = long(m->deposits.size());
    n.damages = long(m->damages.size());
    n.accounts = long(m->staff.size());
    return n;
}

// ---------------------------------------------------------------- writing

void Library::write(RowSink &sink) const
{
    const bool crowded = m_options.crowded;
    auto copyId = [crowded](int index) { return Library::copyId(index, crowded); };
    auto readerId = [crowded](int index) { return Library::readerId(index, crowded); };

    using K = TableSpec::Kind;
    // Dates as the database keeps them, one text a day made once.
    const int firstDay = std::min(int(QDate(1985, 1, 1).toJulianDay()), m->today - 12 * 365);
    std::vector<QString> dayText(size_t(m->today + 400 - firstDay));
    auto date = [&](int day) -> const QString & {
        QString &t = dayText[size_t(day - firstDay)];
        if (t.isEmpty()) t = QDate::fromJulianDay(day).toString(QStringLiteral("yyyy-MM-dd"));
        return t;
    };
    auto midnight = [&](int day) { return date(day) + QStringLiteral(" 00:00:00"); };
    auto stamp = [&](qint64 t) {
        const int s = int(t % 86400);
        return date(int(t / 86400))
               + QStringLiteral(" %1:%2:%3")
                     .arg(s / 3600, 2, 10, QLatin1Char('0'))
                     .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
                     .arg(s % 60, 2, 10, QLatin1Char('0'));
    };
    auto staffName = [&](int i) { return m->staff[size_t(i)].user; };
    const QStringList flags = {u("修改图书馆信息权限"), u("查看图书权限"), u("修改图书权限"), u("查看库存权限"),
                               u("修改库存权限"),       u("办理借书权限"), u("办理还书权限"), u("查看读者权限"),
                               u("修改读者权限"),       u("查看账户权限"), u("修改账户权限"), u("查看统计权限"),
                               u("打印报表权限")};

    sink.begin({u("出版社"), {u("出版社名称"), u("地址"), u("邮编")}, {K::Text, K::Text, K::Text}});
    for (const Model::Publisher &p : m->publishers) sink.row({p.name, p.address, p.post});
    sink.end();

    sink.begin({u("读者类别"), {u("读者类别"), u("借书时间期限"), u("借书数量限制")}, {K::Text, K::Int, K::Int}});
    for (const Category &c : kCategories) sink.row({u(c.name), qlonglong(c.days), qlonglong(c.limit)});
    sink.end();

    {
        TableSpec t{u("账户类型"), QStringList{u("账户类型")} + flags, {K::Text}, true};
        t.kinds.resize(14, K::Int);
        sink.begin(t);
        for (const AccountType &a : kAccountTypes) {
            QVariantList row{u(a.name)};
            for (int p : a.powers) row << qlonglong(p);
            sink.row(row);
        }
        sink.end();
    }

    sink.begin({u("账户"),
                {u("用户名"), u("密码"), u("真实姓名"), u("二级密码"), u("账户类型"), u("最后登录时间"), u("状态")},
                {K::Text, K::Text, K::Text, K::Text, K::Text, K::Date, K::Text},
                true});
    for (size_t i = 0; i < m->staff.size(); ++i) {
        const Model::Staff &s = m->staff[i];
        // The administrator keeps the initial password; the last account has left the library.
        sink.row({s.user, i == 0 ? QStringLiteral("admin") : QStringLiteral("123456"), s.name,
                  i == 0 ? QStringLiteral("admin") : QStringLiteral("654321"), u(kAccountTypes[s.type].name),
                  s.lastLogin < 0 ? QVariant() : QVariant(stamp(s.lastLogin)),
                  i + 1 == m->staff.size() && i > 0 ? u("停用") : u("正常")});
    }
    sink.end();

    sink.begin(
        {u("图书档案"),
         {u("ISBN"), u("图书名称"), u("作者"), u("出版社名称"), u("出版时间"), u("价格"), u("每日租金"), u("可否外借")},
         {K::Text, K::Text, K::Text, K::Text, K::Date, K::Money, K::Money, K::Int}});
    for (const Model::Title &t : m->titles)
        sink.row({t.isbn, t.name, t.author, m->publishers[size_t(t.publisher)].name, midnight(t.published),
                  qlonglong(t.priceCents), qlonglong(t.rentCents), qlonglong(t.lendable ? 1 : 0)});
    sink.end();

    sink.begin({u("图书库存"),
                {u("图书编号"), u("ISBN"), u("入库日期"), u("经手人"), u("最近读者编号"), u("最近借阅日期"), u("状态")},
                {K::Text, K::Text, K::Date, K::Text, K::Text, K::Date, K::Text}});
    for (size_t c = 0; c < m->copies.size(); ++c) {
        const Model::Copy &copy = m->copies[c];
        const bool lent = copy.lastReader >= 0;
        sink.row({copyId(int(c)), m->titles[size_t(copy.title)].isbn,
                  stamp(qint64(copy.enteredDay) * 86400 + copy.enteredSecs), staffName(copy.handler),
                  lent ? QVariant(readerId(copy.lastReader)) : QVariant(),
                  lent ? QVariant(midnight(copy.lastDay)) : QVariant(),
                  copy.busyUntil == INT_MAX ? u("借出") : u("空闲")});
    }
    sink.end();

    sink.begin({u("读者档案"),
                {u("读者编号"), u("读者类别"), u("姓名"), u("性别"), u("账户金额"), u("联系电话"), u("地址"), u("邮编"),
                 u("身份证号码"), u("当前借书数量"), u("总借书数量"), u("总借书次数"), u("有损还书次数"),
                 u("未还书总数"), u("登记日期"), u("经手人"), u("状态")},
                {K::Text, K::Text, K::Text, K::Int, K::Money, K::Text, K::Text, K::Text, K::Text, K::Int, K::Int,
                 K::Int, K::Int, K::Int, K::Date, K::Text, K::Text}});
    for (size_t r = 0; r < m->readers.size(); ++r) {
        const Model::Reader &x = m->readers[r];
        sink.row({readerId(int(r)), u(kCategories[x.category].name), x.name, qlonglong(x.sex),
                  qlonglong(x.balanceCents), x.phone, x.address, x.post, x.idCard, qlonglong(x.current),
                  qlonglong(x.loans), qlonglong(x.lendings), qlonglong(x.damaged), qlonglong(x.current),
                  midnight(x.registeredDay), staffName(x.handler), x.suspended ? u("停用") : u("正常")});
    }
    sink.end();

    sink.begin({u("图书借阅"),
                {u("图书借阅编号"), u("图书编号"), u("读者编号"), u("借书日期"), u("理论还书日期"), u("实际还书日期"),
                 u("是否已还"), u("借书经手人"), u("还书经手人")},
                {K::Text, K::Text, K::Text, K::Date, K::Date, K::Date, K::Int, K::Text, K::Text}});
    for (const Model::Loan &l : m->loans) {
        const bool back = l.returnedDay >= 0;
        sink.row({QString::number(l.number).rightJustified(15, QLatin1Char('0')), copyId(l.copy), readerId(l.reader),
                  midnight(l.lentDay), midnight(l.dueDay), back ? QVariant(midnight(l.returnedDay)) : QVariant(),
                  qlonglong(back ? 1 : 0), staffName(l.lender), back ? QVariant(staffName(l.returner)) : QVariant()});
    }
    sink.end();

    sink.begin({u("图书损坏"),
                {u("图书损坏编号"), u("图书借阅编号"), u("损坏描述"), u("赔偿金额"), u("备注")},
                {K::Text, K::Text, K::Text, K::Money, K::Text}});
    for (const Model::Damage &d : m->damages)
        sink.row({QString::number(d.number).rightJustified(12, QLatin1Char('0')),
                  QString::number(m->loans[size_t(d.loan)].number).rightJustified(15, QLatin1Char('0')),
                  u(kDamage[d.description]), qlonglong(d.cents), u(kDamageNote[d.note])});
    sink.end();

    sink.begin({u("充值记录"),
                {u("充值编号"), u("读者编号"), u("充值金额"), u("充值日期"), u("经手人")},
                {K::Text, K::Text, K::Money, K::Date, K::Text}});
    for (const Model::Deposit &d : m->deposits)
        sink.row({QString::number(d.number).rightJustified(12, QLatin1Char('0')), readerId(d.reader),
                  qlonglong(d.cents), midnight(d.day), staffName(d.handler)});
    sink.end();

    sink.begin({u("账户登录"), {u("用户名"), u("登录时间")}, {K::Text, K::Date}});
    for (const Model::Login &l : m->logins) sink.row({staffName(l.user), stamp(l.stamp)});
    sink.end();
}

// ---------------------------------------------------------------- the two writers

namespace {

QString centsText(qlonglong cents)
{
    const qlonglong a = cents < 0 ? -cents : cents;
    return (cents < 0 ? QStringLiteral("-") : QString()) + QString::number(a / 100) + QLatin1Char('.')
           + QStringLiteral("%1").arg(a % 100, 2, 10, QLatin1Char('0'));
}

// Through the database layer: one prepared insert a table, values converted
// to their columns as the program's own statements' literals are.
class LayerSink final : public RowSink {
public:
    explicit LayerSink(ado::Connection &conn) : m_conn(conn) { }

    void begin(const TableSpec &table) override
    {
        m_table = table;
        if (table.replaceInitial) m_conn.Execute(QStringLiteral("DELETE FROM ") + table.name);
        QStringList marks;
        for (int i = 0; i < table.columns.size(); ++i) marks << QStringLiteral("?");
        m_sql = QStringLiteral("INSERT %1 (%2) VALUES (%3)")
                    .arg(table.name, table.columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
        m_rows.clear();
    }
    void row(const QVariantList &values) override
    {
        QVariantList v = values;
        for (int i = 0; i < v.size(); ++i)
            if (m_table.kinds[size_t(i)] == TableSpec::Money && v[i].isValid()) v[i] = centsText(v[i].toLongLong());
        m_rows.push_back(std::move(v));
        if (m_rows.size() >= 20000) flush();
    }
    void end() override { flush(); }

private:
    void flush()
    {
        if (!m_rows.empty()) m_conn.ExecuteBatch(m_sql, m_rows);
        m_rows.clear();
    }

    ado::Connection &m_conn;
    TableSpec m_table;
    QString m_sql;
    std::vector<QVariantList> m_rows;
};

// COPY ... FROM STDIN in the server's text form: money in ten-thousandths as
// the schema keeps it, Null as \N.
class CopySink final : public RowSink {
public:
    explicit CopySink(PGconn *conn) : m_conn(conn) { }

    void begin(const TableSpec &table) override
    {
        m_table = table;
        if (table.replaceInitial) execServer(m_conn, QStringLiteral("DELETE FROM ") + quoteName(table.name));
        QStringList cols;
        for (const QString &c : table.columns) cols << quoteName(c);
        PGresult *res = PQexec(m_conn, QStringLiteral("COPY %1 (%2) FROM STDIN")
                                           .arg(quoteName(table.name), cols.join(QStringLiteral(", ")))
                                           .toUtf8()
                                           .constData());
        const bool ok = PQresultStatus(res) == PGRES_COPY_IN;
        const QString why = QString::fromUtf8(PQresultErrorMessage(res)).trimmed();
        PQclear(res);
        if (!ok) throw ado::Error(QStringLiteral("COPY %1: %2").arg(table.name, why));
        m_buffer.clear();
    }
    void row(const QVariantList &values) override
    {
        for (int i = 0; i < values.size(); ++i) {
            if (i) m_buffer += '\t';
            const QVariant &v = values[i];
            if (!v.isValid() || v.isNull()) {
                m_buffer += "\\N";
                continue;
            }
            switch (m_table.kinds[size_t(i)]) {
            case TableSpec::Money: m_buffer += QByteArray::number(v.toLongLong() * 100); break;
            case TableSpec::Int: m_buffer += QByteArray::number(v.toLongLong()); break;
            default: {
                const QByteArray t = v.toString().toUtf8();
                for (char ch : t) {
                    switch (ch) {
                    case '\\': m_buffer += "\\\\"; break;
                    case '\t': m_buffer += "\\t"; break;
                    case '\n': m_buffer += "\\n"; break;
                    case '\r': m_buffer += "\\r"; break;
                    default: m_buffer += ch;
                    }
                }
            }
            }
        }
        m_buffer += '\n';
        if (m_buffer.size() > (1 << 20)) flush();
    }
    void end() override
    {
        flush();
        if (PQputCopyEnd(m_conn, nullptr) != 1) fail();
        QString why;
        while (PGresult *res = PQgetResult(m_conn)) {
            if (PQresultStatus(res) != PGRES_COMMAND_OK) why = QString::fromUtf8(PQresultErrorMessage(res)).trimmed();
            PQclear(res);
        }
        if (!why.isEmpty()) throw ado::Error(QStringLiteral("COPY %1: %2").arg(m_table.name, why));
    }

private:
    void flush()
    {
        if (!m_buffer.isEmpty() && PQputCopyData(m_conn, m_buffer.constData(), int(m_buffer.size())) != 1) fail();
        m_buffer.clear();
    }
    [[noreturn]] void fail()
    {
        throw ado::Error(QStringLiteral("COPY %1: %2").arg(m_table.name, QString::fromUtf8(PQerrorMessage(m_conn))));
    }

    PGconn *m_conn;
    TableSpec m_table;
    QByteArray m_buffer;
};

}  // namespace

QString schemaDir()
{
    const QDir app(QCoreApplication::applicationDirPath());
    for (const QString &candidate : {QStringLiteral("Schema"), QStringLiteral("../bin/Schema")})
        if (QFileInfo::exists(app.filePath(candidate + QStringLiteral("/sqlite.sql")))) return app.filePath(candidate);
    return app.filePath(QStringLiteral("Schema"));
}

void copyFile(const QString &from, const QString &to)
{
    QFile::remove(to);
    if (!QFile::copy(from, to)) throw ado::Error(QStringLiteral("cannot copy %1 to %2").arg(from, to));
}

void checkInvariants(const ado::ConnectionInfo &info)
{
    ado::Connection conn;
    conn.Open(info.toString());
    const QStringList problems = CheckInvariants(conn);
    if (!problems.isEmpty())
        throw ado::Error(QStringLiteral("the generated library breaks what must hold of the data:\n")
                         + problems.mid(0, 20).join(QLatin1Char('\n')));
}

QString keptEmbeddedLibrary(const QString &dataDir, const Options &o, QString &made)
{
    QDir().mkpath(dataDir);
    const QString kept = QDir(dataDir).filePath(QStringLiteral("library-%1-%2.db").arg(o.key(), schemaFingerprint()));
    made = QStringLiteral("taken from %1").arg(kept);
    if (QFile::exists(kept)) return kept;
    QElapsedTimer t;
    t.start();
    const QString part = kept + QStringLiteral(".part");
    QFile::remove(part);
    std::fprintf(stderr, "making the library (%s) ...\n", qPrintable(o.key()));
    const Library library(o);
    const ado::ConnectionInfo info = ado::ConnectionInfo::fromSettings(QStringLiteral("sqlite|bench|bench|") + part);
    createAndFill(info, library);
    checkInvariants(info);
    QFile::rename(part, kept);
    made = QStringLiteral("made in %1 s and kept in %2").arg(double(t.elapsed()) / 1000, 0, 'f', 1).arg(kept);
    return kept;
}

QString schemaFingerprint()
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    const QDir dir(schemaDir());
    for (const QString &name : dir.entryList(QDir::Files, QDir::Name)) {
        QFile f(dir.filePath(name));
        if (f.open(QIODevice::ReadOnly)) hash.addData(name.toUtf8() + f.readAll());
    }
    return QString::fromLatin1(hash.result().toHex().left(8));
}

Counts fill(const ado::ConnectionInfo &info, const Library &library)
{
    if (info.isEmbedded()) {
        ado::Connection conn;
        conn.Open(info.toString());
        ado::Transaction trans(conn);
        LayerSink sink(conn);
        library.write(sink);
        trans.Commit();
        return library.counts();
    }
    PGconn *c = connectServer(info, info.database);
    try {
        execServer(c, QStringLiteral("BEGIN"));
        CopySink sink(c);
        library.write(sink);
        execServer(c, QStringLiteral("COMMIT"));
        execServer(c, QStringLiteral("VACUUM ANALYZE"));
    } catch (...) {
        PQfinish(c);
        throw;
    }
    PQfinish(c);
    return library.counts();
}

Counts createAndFill(const ado::ConnectionInfo &info, const Library &library)
{
    ado::CreateDatabase(info, schemaDir());
    return fill(info, library);
}

}  // namespace bench
