// The root of every error the program raises. Users see
// "[" + ClassName() + "] " + Message() when a file fails, so each class
// names itself; SORVIK_EXCEPTION_CLASS declares one in a line.
#pragma once

#include <exception>
#include <string>
#include <utility>

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : FMessage(std::move(message)) {}

    const char* what() const noexcept override { return FMessage.c_str(); }
    const std::string& Message() const noexcept { return FMessage; }
    virtual const char* ClassName() const noexcept { return "Exception"; }

    // The text the worker and the error boxes show.
    std::string Describe() const { return std::string("[") + ClassName() + "] " + FMessage; }

private:
    std::string FMessage;
};

#define SORVIK_EXCEPTION_CLASS(Name, Base)                                       \
    class Name : public Base {                                                   \
    public:                                                                      \
        using Base::Base;                                                        \
        const char* ClassName() const noexcept override { return #Name; }        \
    }
