#pragma once

namespace brevo {

enum class Severity { Error, Alert, Warning };

// How many findings of each severity a report counted.
struct FindingCounts {
    int errors = 0;
    int alerts = 0;
    int warnings = 0;

    bool any() const { return errors != 0 || alerts != 0 || warnings != 0; }
    bool operator==(const FindingCounts&) const = default;
};

}  // namespace brevo
