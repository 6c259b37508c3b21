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
