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

int Run(const QString& path) {
    Session session(path);
    session.registry.show();
    session.relations.show();
    std::setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);  // each whole line reaches the test at once
    std::printf("ready\n");
    for (;;) {
        const DatabaseConnection& connection = session.context.connection;
        const Result<std::optional<Person>> paolo = connection.anagrafica().seek(crash::Paolo);
        const Result<std::vector<ParentLink>> parents =
            connection.relazioni().parentsOf(crash::Paolo);
        if (!paolo.ok() || !parents.ok()) return 1;
        if (!paolo.value()) {  // created
            Click(session.registry, "Command5");
            Type(session.registry, "Text9", "Persona");
            Type(session.registry, "Text2", "Paolo");
            Type(session.registry, "Text3", "01/01/1950");
            Click(session.registry, "Command6");
        } else if (parents.value().empty()) {  // saved with his family
            for (const auto& [button, surname] : {std::pair{"Command6", "PERSONA"},
                                                  {"Command1", "PADRE"},
                                                  {"Command2", "MADRE"},
                                                  {"Command3", "MOGLIE"},
                                                  {"Command9", "FIGLIO"},
                                                  {"Command9", "FIGLIA"}})
                session.chooseWith(button, surname);
            Retype(session.relations, "Text9", crash::WeddingDay);
            Click(session.relations, "Command10");
            Click(session.relations, "Command4");
        } else {  // deleted
            session.chooseWith("Command6", "PERSONA");
            session.toolkit.answer(true);
            session.toolkit.answer(true);
            Click(session.relations, "Command5");
        }
        std::printf("done\n");  // one line for each operation
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
