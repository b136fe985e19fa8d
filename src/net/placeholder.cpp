// Network transfer lands here.
