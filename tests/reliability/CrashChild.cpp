// The program saving and deleting over and over until the crash test kills it: the relations
// and registry windows driven as a user drives them, the scripted toolkit answering yes. Each
// round creates Paolo Persona if he is missing, gives him a father, a mother, a wife and two
// children with one "Salva", then deletes him with all his links with "Cancella".
// Prints "ready" once the file is open, then one line for each operation done.
//   reliability_crash_child FILE
#include "CrashChild.h"
#include "Session.h"

#include <QApplication>
#include <QLineEdit>
#include <cstdio>

namespace radici {
namespace {

void Done(const char* operation) {
    std::printf("%s\n", operation);
    std::fflush(stdout);
}

// Anything but the two questions of "Cancella" means the program did not do what it was asked.
bool Unexpected(Session& session) {
    for (const ScriptedToolkit::Message& message : session.toolkit.messages()) {
        if (message.kind == ScriptedToolkit::Kind::Information) {
            std::fprintf(stderr, "unexpected message: %s\n", qPrintable(message.text));
            return true;
        }
    }
    session.toolkit.clearMessages();
    return false;
}

void CreatePaolo(Session& session) {
    QWidget& registry = session.registry;
    Click(registry, QStringLiteral("Command5"));
    Type(registry, QStringLiteral("Text9"), QStringLiteral("Persona"));
    Type(registry, QStringLiteral("Text2"), QStringLiteral("Paolo"));
    Type(registry, QStringLiteral("Text3"), QStringLiteral("01/01/1950"));
    Click(registry, QStringLiteral("Command6"));
}

void SaveFamily(Session& session) {
    QWidget& relations = session.relations;
    ChooseWith(session, QStringLiteral("Command6"), QStringLiteral("PERSONA"));
    ChooseWith(session, QStringLiteral("Command1"), QStringLiteral("PADRE"));
    ChooseWith(session, QStringLiteral("Command2"), QStringLiteral("MADRE"));
    ChooseWith(session, QStringLiteral("Command3"), QStringLiteral("MOGLIE"));
    qobject_cast<QLineEdit*>(&Control(relations, QStringLiteral("Text9")))->clear();
    Type(relations, QStringLiteral("Text9"), crash::WeddingDay);
    Click(relations, QStringLiteral("Command10"));
    ChooseWith(session, QStringLiteral("Command9"), QStringLiteral("FIGLIO"));
    ChooseWith(session, QStringLiteral("Command9"), QStringLiteral("FIGLIA"));
    Click(relations, QStringLiteral("Command4"));
}

void DeletePaolo(Session& session) {
    ChooseWith(session, QStringLiteral("Command6"), QStringLiteral("PERSONA"));
    session.toolkit.answer(true);
    session.toolkit.answer(true);
    Click(session.relations, QStringLiteral("Command5"));
}

int Run(const QString& path) {
    Session session(path);
    if (!session.context.connection.isOpen()) return 1;
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
        if (Unexpected(session)) return 1;
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
