// Text rules.
