#pragma once
// How long a test waits for the program. The times written in the tests suit an
// ordinary build; a slower one (the sanitizer build) stretches them all by the
// factor in LUMAREST_TEST_TIME_FACTOR instead of each test guessing for itself.
namespace testtime {

// The factor from LUMAREST_TEST_TIME_FACTOR, 1 when unset or not a positive number.
// (Below 1 it shortens every wait: a way to see how a test behaves when it times out.)
double factor();
// ms stretched by factor().
int scaled(int ms);

} // namespace testtime
