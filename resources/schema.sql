-- The template database that every user's "wendra.dbz" starts as.
-- Dates are REAL seconds since 1970-01-01 UTC; a due date of 0.0 means none.
-- A new task row names only its title, so completed must default to 0.
CREATE TABLE category (
    pk INTEGER PRIMARY KEY,
    name TEXT,
    parent TEXT
);

CREATE TABLE item (
    pk INTEGER PRIMARY KEY,
    action TEXT,
    category TEXT,
    notes TEXT,
    timer TEXT,
    endDate REAL,
    startDate REAL,
    importance TEXT,
    completed INTEGER DEFAULT 0,
    manualSort INTEGER,
    extra1 TEXT,
    extra2 TEXT
);

-- One index per view filter: a list view, "All Tasks", "Today" and
-- "Completed" each read their rows in index order without a sort.
CREATE INDEX item_list ON item (category, completed, manualSort);
CREATE INDEX item_open ON item (completed, manualSort);
CREATE INDEX item_due ON item (completed, endDate);
CREATE INDEX item_done ON item (completed, startDate);

INSERT INTO category (name) VALUES ('Home');
INSERT INTO category (name) VALUES ('Work');
