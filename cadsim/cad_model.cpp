#include "cadsim/cad_model.h"

#include <algorithm>

namespace cadsim {

void CadModel::AddDrawing(Drawing drawing) {
    drawings_.push_back(std::make_shared<Drawing>(std::move(drawing)));
    if (!ActiveDrawing()) {
        active_ = drawings_.back();
    }
}

void CadModel::ClearDrawings() {
    drawings_.clear();
    active_.reset();
}

std::shared_ptr<Drawing> CadModel::DrawingAt(std::size_t index) const {
    return index < drawings_.size() ? drawings_[index] : nullptr;
}

bool CadModel::IsOpen(const std::shared_ptr<Drawing>& drawing) const {
    return drawing && std::find(drawings_.begin(), drawings_.end(), drawing) != drawings_.end();
}

bool CadModel::Activate(const std::shared_ptr<Drawing>& drawing) {
    if (!IsOpen(drawing)) {
        return false;
    }
    active_ = drawing;
    return true;
}

bool CadModel::ActivateAt(std::size_t index) { return Activate(DrawingAt(index)); }

}  // namespace cadsim
