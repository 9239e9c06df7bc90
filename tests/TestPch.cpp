// The object whose build makes the unit tests' precompiled header.
