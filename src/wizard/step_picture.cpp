#include "step_picture.h"

#include <QString>

namespace bdlogic {

QPixmap StepPicture(int id) {
    return QPixmap(QStringLiteral(":/pictures/%1.png").arg(id));
}

} // namespace bdlogic
