// The program saving and deleting over and over until the crash test kills it: the relations
// and registry windows driven as a user drives them, the scripted toolkit answering yes. Each
// round creates Paolo Persona if he is missing, gives him a father, a mother, a wife and two
// children with one "Salva", then deletes him with all his links with "Cancella".
// Prints "ready" once the file is open, then one line for each operation done.
//   reliability_crash_child FILE
#include "CrashChild.h"
#include "Session.h"

#include <QApplication>
#include <cstdio>

namespace radici {
namespace {

void Done(const char* operation) {
    std::printf("%s\n", operation);
    std::fflush(stdout);
}

void CreatePaolo(Session& session) {
    QWidget& registry = session.registry;
    Click(registry, "Command5");
    Type(registry, "Text9", "Persona");
    Type(registry, "Text2", "Paolo");
    Type(registry, "Text3", "01/01/1950");
    Click(registry, "Command6");
}

void SaveFamily(Session& session) {
    session.chooseWith("Command6", "PERSONA");
    session.chooseWith("Command1", "PADRE");
    session.chooseWith("Command2", "MADRE");
    session.chooseWith("Command3", "MOGLIE");
    Retype(session.relations, "Text9", crash::WeddingDay);
    Click(session.relations, "Command10");
    session.chooseWith("Command9", "FIGLIO");
    session.chooseWith("Command9", "FIGLIA");
    Click(session.relations, "Command4");
}

void DeletePaolo(Session& session) {
    session.chooseWith("Command6", "PERSONA");
    session.toolkit.answer(true);
    session.toolkit.answer(true);
    Click(session.relations, "Command5");
}

int Run(const QString& path) {
    Session session(path);
    session.registry.show();
    session.relations.show();
    Done("ready");
    for (;;) {
        const DatabaseConnection& connection = session.context.connection;
        const Result<std::optional<Person>> paolo = connection.anagrafica().seek(crash::Paolo);
        const Result<std::vector<ParentLink>> parents =
            connection.relazioni().parentsOf(crash::Paolo);
        if (!paolo.ok() || !parents.ok()) return 1;
        if (!paolo.value()) {
            CreatePaolo(session);
            Done("created");
        } else if (parents.value().empty()) {
            SaveFamily(session);
            Done("saved");
        } else {
            DeletePaolo(session);
            Done("deleted");
        }
        // Anything but the two questions of "Cancella" means an operation failed.
        if (session.toolkit.texts.size() != session.toolkit.questions) {
            std::fprintf(stderr, "unexpected message: %s\n",
                         qPrintable(session.toolkit.texts.join(" / ")));
            return 1;
        }
        session.toolkit.texts.clear();
        session.toolkit.questions = 0;
    }
}

}  // namespace
}  // namespace radici

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    return radici::Run(QString::fromLocal8Bit(argv[1]));
}
