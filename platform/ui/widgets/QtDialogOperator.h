#pragma once

#include "platform/ui/Operator.h"

namespace platform {

// The desktop's operator: Qt message and input boxes with VB's buttons and answers.
class QtDialogOperator : public OperatorService {
public:
    Reply ask(const Question &question) override;
};

} // namespace platform
