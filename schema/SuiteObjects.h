#pragma once

namespace ado {
class Connection;
}

namespace schema {

// Drops every table and view that the suite's scripts create on this connection's engine
// (views first, then tables in reverse order); objects that are not there are skipped.
// For test and benchmark databases that are created again and again.
void dropSuiteObjects(ado::Connection &connection);

} // namespace schema
