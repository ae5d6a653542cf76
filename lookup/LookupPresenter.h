#pragma once

namespace lookup {

class Lib_FrmCons3Logic;
class Lib_FrmCons3TreeLogic;

// Shows a loaded lookup form modally and returns when it has hidden itself (accepted or
// cancelled). The desktop shows the windows; tests drive the forms' logic directly.
class LookupPresenter {
public:
    virtual ~LookupPresenter() = default;
    virtual void showList(Lib_FrmCons3Logic &form) = 0;
    virtual void showTree(Lib_FrmCons3TreeLogic &form) = 0;
    // Rows of the list's first screen, read before the rest (0: every row at once).
    virtual int firstScreenRows() const { return 0; }
};

// Without a display nobody can choose: every lookup is cancelled (and logged).
class NoDisplayPresenter : public LookupPresenter {
public:
    void showList(Lib_FrmCons3Logic &form) override;
    void showTree(Lib_FrmCons3TreeLogic &form) override;
};

} // namespace lookup
