// Wiring of the real components.
