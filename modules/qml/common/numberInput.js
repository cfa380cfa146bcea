.pragma library

// What a number box shows once the user leaves it. An empty box, or one below 1, reads "0" (pages
// treat 0 as "none"); any other number is brought into min … max, since the validator lets
// through out-of-range numbers with no more digits than max while they are being typed.
function settle(text, min, max) {
    const n = parseInt(String(text), 10)
    if (isNaN(n) || n < 1)
        return "0"
    return String(Math.min(Math.max(n, min), max))
}
