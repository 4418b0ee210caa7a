#include "support/services_fixture.h"

namespace bdlogic::test {

namespace {
class Echo : public Language {
public:
    std::optional<QString> loadres(int id, const QStringList& values) const override {
        QString t = QStringLiteral("T") + QString::number(id);
        if (!values.isEmpty()) t += u'[' + values.join(u',') + u']';
        return t;
    }
};
} // namespace

std::unique_ptr<Language> EchoLanguage() { return std::make_unique<Echo>(); }

} // namespace bdlogic::test
