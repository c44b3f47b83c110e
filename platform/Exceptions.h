// platform/Exceptions.h
//
// The framework's exceptions: thrown by wrappers whose failure the caller cannot be
// expected to test at every call, and caught where the framework says so.
#pragma once

class CException {
public:
    virtual ~CException() = default;
};

// A data exchange that failed; the user has been told, if anything was to be said.
class CUserException : public CException {};

// A system resource (a device context, a GDI object) could not be had.
class CResourceException : public CException {};
