// Sets a variable for as long as the object lives and puts the old value back when it goes, also when
// an exception leaves the scope.
#pragma once

#include <utility>

template <typename T> class TemporaryChange {
public:
    TemporaryChange(T& variable, T value) : variable_(variable), saved_(std::move(variable)) {
        variable_ = std::move(value);
    }
    ~TemporaryChange() { variable_ = std::move(saved_); }
    TemporaryChange(const TemporaryChange&) = delete;
    TemporaryChange& operator=(const TemporaryChange&) = delete;

private:
    T& variable_;
    T saved_;
};
