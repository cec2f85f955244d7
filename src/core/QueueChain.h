#pragma once
// A task chain: a named list of steps that count down one after another, with the JSON forms of both records.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUuid>

#include <optional>

struct QueueChainStep {
    QUuid id;
    QString name;        // becomes the title of the step's timer
    double duration = 0; // seconds

    bool operator==(const QueueChainStep& other) const = default;

    // {"id", "name", "duration"}; reading needs every key with its type.
    QByteArray toJson() const;
    static std::optional<QueueChainStep> fromJson(const QByteArray& json);
};

size_t qHash(const QueueChainStep& step, size_t seed = 0) noexcept;

struct QueueChain {
    QUuid id;
    QString name;
    QList<QueueChainStep> steps; // first task first

    bool operator==(const QueueChain& other) const = default;

    // The steps' durations added in step order from 0.
    double totalDuration() const;
    bool isEmpty() const { return steps.isEmpty(); }

    // {"id", "name", "steps": [step objects]}; reading needs every key with its type.
    QByteArray toJson() const;
    static std::optional<QueueChain> fromJson(const QByteArray& json);
};

size_t qHash(const QueueChain& chain, size_t seed = 0) noexcept;
