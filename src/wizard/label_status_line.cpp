#include "label_status_line.h"

#include "ziv_uvivodu.h"

namespace bdlogic {

void LabelStatusLine::attach(ZivUVIvodu* window) {
    window_ = window;
}

void LabelStatusLine::showStep(const QString& text) {
    if (window_) window_->showStep(text);
}

} // namespace bdlogic
