#pragma once

#include <cstddef>
#include <cstdint>

// SHA-256 of one message, written for the key stretching of the sealed box:
// twenty thousand short messages in a row, where an allocation or a generic
// byte loop per hash costs more than the compression itself. Uses the CPU's
// SHA instructions where the processor has them.
void sha256(const void *data, std::size_t length, std::uint8_t digest[32]);

// Whether the SHA instructions are in use; tests turn them off to check the
// portable code against the same vectors.
bool sha256Accelerated();
void setSha256AccelerationAllowed(bool allowed);
