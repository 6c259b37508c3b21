#include "app/CNameOrder.h"
#include "rollcall/CRollCallModel.h"

#include <QStringList>
#include <array>
#include <gtest/gtest.h>
#include <random>

// Names in the order of the Serbian Latin alphabet (C, Č, Ć, D, Dž, Đ ... L, Lj ... N, Nj ... S,
// Š ... Z, Ž), whatever their case, and the lists of people sorted by it: employees by department
// and name, guests last.
TEST(NameOrder, SerbianLatinAlphabetForNamesAndPeople)
{
    const QStringList alphabet{"Ana",    "Cvetković", "čolić",  "Ćirić", "Dukić", "Džajić", "Đorđević", "Lukić",
                               "Ljubić", "Nikolić",   "Njegoš", "Savić", "Šarić", "Zec",    "Žarko",    "živković "};
    QStringList shuffled = alphabet;
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(7));
    CNameOrder::sort(shuffled, [](const QString &s) { return std::array{s}; });
    EXPECT_EQ(shuffled, alphabet);
    EXPECT_EQ(CNameOrder::compare(u"ŠARIĆ", u"šarić  "), 0);

    QList<CRollCallModel::Person> people;
    auto person = [](const char *name, const char *department, bool guest = false) {
        CRollCallModel::Person p;
        p.name = QString::fromUtf8(name);
        p.department = QString::fromUtf8(department);
        p.guest = guest;
        return p;
    };
    people << person("Živković Sanja", "Prodaja") << person("Đurić Gost", "Gosti", true)
           << person("Zec Milica", "Čuvari") << person("Ćirić Tijana", "Prodaja") << person("Adamović", "Zaštita")
           << person("Cvijić Ana", "Čuvari") << person("Ban Gost", "Gosti", true);
    CRollCallModel::sortPeople(people);
    QStringList order;
    for (const CRollCallModel::Person &p : people)
        order << p.name;
    EXPECT_EQ(order, (QStringList{"Cvijić Ana", "Zec Milica", "Ćirić Tijana", "Živković Sanja", "Adamović", "Ban Gost",
                                  "Đurić Gost"}));
}

// Many items with few distinct texts (departments, namesakes) sort as the texts do and keep the
// order they came in among equals, texts that differ only in case or trailing blanks included.
TEST(NameOrder, RepeatedTextsKeepTheirOrder)
{
    struct Item
    {
        QString department, name;
        int arrival;
    };
    const QStringList departments{"Čuvari", "čuvari ", "Prodaja", "Zaštita"};
    const QStringList names{"Đurić Ana", "ĐURIĆ ANA", "Cvijić Ana", "Živković Sanja"};
    QList<Item> items;
    std::mt19937 random(11);
    for (int i = 0; i < 400; ++i)
        items.append({departments.at(int(random() % 4)), names.at(int(random() % 4)), i});
    CNameOrder::sort(items, [](const Item &i) { return std::array{i.department, i.name}; });
    for (qsizetype i = 1; i < items.size(); ++i) {
        const Item &a = items.at(i - 1), &b = items.at(i);
        const int byDepartment = CNameOrder::compare(a.department, b.department);
        ASSERT_LE(byDepartment, 0) << i;
        if (byDepartment == 0) {
            const int byName = CNameOrder::compare(a.name, b.name);
            ASSERT_LE(byName, 0) << i;
            if (byName == 0) {
                ASSERT_LT(a.arrival, b.arrival) << i;
            }
        }
    }
}
