#include "tools/DemoFamily.h"

#include "store/Dates.h"
#include "store/PersonKey.h"
#include "store/Records.h"

#include <array>
#include <cstddef>

namespace radici {
namespace {

enum Member : std::size_t {
    GiuseppeRossi,
    MariaBianchi,
    AntonioDAngelo,
    ConcettaEsposito,
    GiovanniRossi,
    LuciaRossi,
    PaoloRicci,
    RosaDAngelo,
    ElenaFerrari,
    NicoloRossi,
    AnnaRossi,
    FrancescoRicci,
    MarcoRossi,
    ChiaraRossi,
    TeresaGallo,
    GiuliaDeLuca,
    LucaRossi,
    SofiaRossi,
    NoeRossi,
    MemberCount
};

// Dates are typed day first, as in the registry window; an empty text is an absent date.
struct DemoPerson {
    const char* surname;
    const char* givenName;
    SexCode sex;
    const char* birthDate;
    const char* birthPlace;
    const char* birthCountry;
    const char* deathDate;
    const char* deathPlace;
    const char* deathCountry;
};

// In the order of Member.
constexpr std::array<DemoPerson, MemberCount> Persons{{
    {"ROSSI", "GIUSEPPE", Male, "12/03/1888", "BERGAMO", "ITALIA", "04/11/1961", "BERGAMO",
     "ITALIA"},
    {"BIANCHI", "MARIA", Female, "25/07/1891", "LOVERE", "ITALIA", "18/01/1969", "BERGAMO",
     "ITALIA"},
    {"D'ANGELO", "ANTONIO", Male, "09/09/1893", "NAPOLI", "ITALIA", "30/03/1960", "NAPOLI",
     "ITALIA"},
    {"ESPOSITO", "CONCETTA", Female, "01/12/1897", "NAPOLI", "ITALIA", "15/08/1974", "BERGAMO",
     "ITALIA"},
    {"ROSSI", "GIOVANNI", Male, "02/02/1915", "BERGAMO", "ITALIA", "30/09/1985", "BERGAMO",
     "ITALIA"},
    {"ROSSI", "LUCIA", Female, "14/08/1918", "BERGAMO", "ITALIA", "21/02/2004", "MILANO", "ITALIA"},
    {"RICCI", "PAOLO", Male, "06/06/1914", "MILANO", "ITALIA", "11/10/1990", "MILANO", "ITALIA"},
    {"D'ANGELO", "ROSA", Female, "20/10/1920", "NAPOLI", "ITALIA", "03/01/1949", "BERGAMO",
     "ITALIA"},
    {"FERRARI", "ELENA", Female, "17/04/1924", "FORLÌ", "ITALIA", "28/07/2012", "BERGAMO",
     "ITALIA"},
    {"ROSSI", "NICOLÒ", Male, "03/12/1941", "BERGAMO", "ITALIA", "", "", ""},
    {"ROSSI", "ANNA", Female, "19/05/1945", "BERGAMO", "ITALIA", "09/09/2020", "LUGANO",
     "SVIZZERA"},
    {"RICCI", "FRANCESCO", Male, "30/01/1946", "MILANO", "ITALIA", "", "", ""},
    {"ROSSI", "MARCO", Male, "08/03/1953", "BERGAMO", "ITALIA", "", "", ""},
    {"ROSSI", "CHIARA", Female, "22/11/1956", "BERGAMO", "ITALIA", "", "", ""},
    {"GALLO", "TERESA", Female, "12/02/1944", "BRESCIA", "ITALIA", "", "", ""},
    {"DE LUCA", "GIULIA", Female, "05/05/1955", "ROMA", "ITALIA", "", "", ""},
    {"ROSSI", "LUCA", Male, "14/07/1969", "BERGAMO", "ITALIA", "", "", ""},
    {"ROSSI", "SOFIA", Female, "02/10/1972", "BERGAMO", "ITALIA", "", "", ""},
    {"ROSSI", "NOÈ", Male, "25/12/1984", "BERGAMO", "ITALIA", "", "", ""},
}};

struct DemoMarriage {
    Member husband;
    Member wife;
    const char* date;
};

// Giovanni married again after Rosa died.
constexpr std::array DemoMarriages{
    DemoMarriage{GiuseppeRossi, MariaBianchi, "10/05/1913"},
    DemoMarriage{AntonioDAngelo, ConcettaEsposito, ""},
    DemoMarriage{GiovanniRossi, RosaDAngelo, "20/04/1940"},
    DemoMarriage{PaoloRicci, LuciaRossi, "18/09/1943"},
    DemoMarriage{GiovanniRossi, ElenaFerrari, "15/06/1952"},
    DemoMarriage{NicoloRossi, TeresaGallo, "07/09/1968"},
    DemoMarriage{MarcoRossi, GiuliaDeLuca, ""},
};

// Every child is linked to both parents.
struct DemoChild {
    Member father;
    Member mother;
    Member child;
};

constexpr std::array DemoChildren{
    DemoChild{GiuseppeRossi, MariaBianchi, GiovanniRossi},
    DemoChild{GiuseppeRossi, MariaBianchi, LuciaRossi},
    DemoChild{AntonioDAngelo, ConcettaEsposito, RosaDAngelo},
    DemoChild{GiovanniRossi, RosaDAngelo, NicoloRossi},
    DemoChild{GiovanniRossi, RosaDAngelo, AnnaRossi},
    DemoChild{PaoloRicci, LuciaRossi, FrancescoRicci},
    DemoChild{GiovanniRossi, ElenaFerrari, MarcoRossi},
    DemoChild{GiovanniRossi, ElenaFerrari, ChiaraRossi},
    DemoChild{NicoloRossi, TeresaGallo, LucaRossi},
    DemoChild{NicoloRossi, TeresaGallo, SofiaRossi},
    DemoChild{MarcoRossi, GiuliaDeLuca, NoeRossi},
};

QDate DateOrAbsent(const char* typed) {
    return ReadDayFirstDate(QString::fromUtf8(typed)).value_or(QDate());
}

// The key is made as the registry window makes it when a person is created.
Person ToPerson(const DemoPerson& demo) {
    Person person;
    person.cognome = QString::fromUtf8(demo.surname);
    person.nome = QString::fromUtf8(demo.givenName);
    person.idrecord =
        UpperCase(ComposeKey(person.cognome, person.nome, QString::fromUtf8(demo.birthDate),
                             DateRule::ExactlyTenCharacters));
    person.sesso = demo.sex;
    person.datanasc = DateOrAbsent(demo.birthDate);
    person.luogonasc = QString::fromUtf8(demo.birthPlace);
    person.nazionenasc = QString::fromUtf8(demo.birthCountry);
    person.datamorte = DateOrAbsent(demo.deathDate);
    person.luogomorte = QString::fromUtf8(demo.deathPlace);
    person.nazionemorte = QString::fromUtf8(demo.deathCountry);
    return person;
}

RelationsToSave Links(const std::array<QString, MemberCount>& keys) {
    RelationsToSave links;
    for (const DemoMarriage& marriage : DemoMarriages) {
        links.marriages.push_back(
            {keys[marriage.husband], keys[marriage.wife], DateOrAbsent(marriage.date)});
    }
    for (const DemoChild& child : DemoChildren) {
        links.childLinks.push_back({keys[child.father], keys[child.child], Male});
        links.childLinks.push_back({keys[child.mother], keys[child.child], Female});
    }
    return links;
}

}  // namespace

Status WriteDemoFamily(DatabaseConnection& connection) {
    std::array<QString, MemberCount> keys;
    for (std::size_t member = 0; member < MemberCount; ++member) {
        const Person person = ToPerson(Persons[member]);
        if (Status added = connection.anagrafica().add(person); !added.ok()) return added;
        keys[member] = person.idrecord;
    }
    return connection.saveRelations(Links(keys));
}

}  // namespace radici
