#pragma once

#include <memory>

namespace envio {

// A copy of the run's global settings (those start-up and the configuration load set, the
// access row's id, the logged-in user, the lookup object's settings), to put back after a
// start-up on another company's database has loaded that company's.
class GlobalesGuardados {
public:
    GlobalesGuardados(); // takes the copy
    ~GlobalesGuardados();
    void restaurar() const;

private:
    struct Copia;
    std::unique_ptr<Copia> m_copia;
};

} // namespace envio
