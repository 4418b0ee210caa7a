#include "support/services_fixture.h"

namespace bdlogic::test {

namespace {
class EchoLanguage : public Language {
public:
    std::optional<QString> loadres(int id, const QStringList& values) const override {
        QString t = QStringLiteral("T") + QString::number(id);
        if (!values.isEmpty()) t += u'[' + values.join(u',') + u']';
        return t;
    }
};
} // namespace

void FakeWorld::useEchoLanguage() { services.language = std::make_unique<EchoLanguage>(); }

} // namespace bdlogic::test
